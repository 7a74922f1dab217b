#include <QAbstractButton>
#include <QApplication>
#include <QApplicationStateChangeEvent>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <utility>
#include <vector>

#include "activation_filter.h"
#include "base/identity.h"
#include "base/local_time.h"
#include "form/main_form.h"
#include "qt_platform.h"
#include "shell/tray_tip.h"
#include "support/compiled_task.h"
#include "support/temp_folder.h"
#include "tray_icon_view.h"

Q_DECLARE_METATYPE(QSystemTrayIcon::ActivationReason)

namespace kiv {
namespace {

using Press = std::pair<int, int>;  // button, mouse message

NotifyIconData recordWithTip(const std::string& tip) {
  NotifyIconData data;
  setTrayTip(data, tip);
  return data;
}

void activate(TrayIconView& view, QSystemTrayIcon::ActivationReason reason) {
  Q_EMIT view.icon().activated(reason);
  QCoreApplication::processEvents();
}

// The Qt platform with a window and a form that its icon reports to, as the
// program puts them together.
struct ConnectedPlatform {
  ConnectedPlatform() {
    platform.setWindow(&window);
    platform.connectForm(form);
  }
  QtPlatform platform;
  QWidget window;
  MainForm form{platform};
};

void sendApplicationState(Qt::ApplicationState state) {
  QApplicationStateChangeEvent event(state);
  QCoreApplication::sendEvent(qApp, &event);
}

// Answers the first message box that opens with `button` and keeps its text.
class BoxAnswerer : public QObject {
 public:
  explicit BoxAnswerer(QMessageBox::StandardButton button) : button_(button) {
    connect(&poll_, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      poll_.stop();
      text = box->text();
      box->button(button_)->click();
    });
    poll_.start(10);
  }
  QString text;

 private:
  QMessageBox::StandardButton button_;
  QTimer poll_;
};

}  // namespace

// The notification-area icon and the window hook of the Qt program. The
// offscreen platform has no notification area, so the icon is checked as Qt
// holds it (shown or not, its tip) and presses are simulated as Qt reports
// them.
class TrayIconTest : public QObject {
  Q_OBJECT

 private slots:
  void addShowsTheIconWithTheTipWithoutTrailingBlanks();
  void modifyAndDeleteActOnlyOnAShownIcon();
  void iconIsTheProgramsOwnInEverySize();
  void pressesArriveAsMouseMessages_data();
  void pressesArriveAsMouseMessages();
  void leftPressShowsTheWindow();
  void rightPressAsksTheTrayQuestion();
  void activatingTheApplicationBringsTheIconBackWhileHooked();
  void activationFilterLetsEveryEventThrough();
  void aNotificationIsAMessageFromTheShownIconThatLeavesTheTip();
  void aFailedScheduledStartIsNotified();
};

void TrayIconTest::addShowsTheIconWithTheTipWithoutTrailingBlanks() {
  TrayIconView view;

  const bool accepted = view.apply(TrayOperation::Add, recordWithTip(identity::versionLine()));

  QCOMPARE(accepted, QSystemTrayIcon::isSystemTrayAvailable());
  QVERIFY(view.icon().isVisible());
  QCOMPARE(view.icon().toolTip(), QString("Kiv - Kivander v7.0.0"));
  QVERIFY(view.icon().contextMenu() == nullptr);
}

void TrayIconTest::modifyAndDeleteActOnlyOnAShownIcon() {
  TrayIconView view;
  const NotifyIconData status =
      recordWithTip("Last launch: task 12 @ 06-Dec-2026 15:04:05 (on demand)");

  QVERIFY(!view.apply(TrayOperation::Modify, status));
  QCOMPARE(view.icon().toolTip(), QString());
  QVERIFY(!view.apply(TrayOperation::Delete, status));

  view.apply(TrayOperation::Add, recordWithTip(identity::versionLine()));
  QVERIFY(!view.apply(TrayOperation::Add, status));
  QCOMPARE(view.icon().toolTip(), QString("Kiv - Kivander v7.0.0"));
  QVERIFY(view.apply(TrayOperation::Modify, status));
  QCOMPARE(view.icon().toolTip(),
           QString("Last launch: task 12 @ 06-Dec-2026 15:04:05 (on demand)"));

  QVERIFY(view.apply(TrayOperation::Delete, status));
  QVERIFY(!view.icon().isVisible());
  QVERIFY(!view.apply(TrayOperation::Modify, recordWithTip("later")));
  QCOMPARE(view.icon().toolTip(),
           QString("Last launch: task 12 @ 06-Dec-2026 15:04:05 (on demand)"));
}

void TrayIconTest::iconIsTheProgramsOwnInEverySize() {
  TrayIconView view;
  const QList<QSize> sizes = view.icon().icon().availableSizes();
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    QVERIFY2(sizes.contains(QSize(size, size)), QByteArray::number(size));
  }
}

void TrayIconTest::pressesArriveAsMouseMessages_data() {
  QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
  QTest::addColumn<std::vector<Press>>("presses");
  QTest::newRow("left press") << QSystemTrayIcon::Trigger << std::vector<Press>{{1, 513}};
  QTest::newRow("right press") << QSystemTrayIcon::Context << std::vector<Press>{{2, 516}};
  QTest::newRow("double-click: its first press did the work")
      << QSystemTrayIcon::DoubleClick << std::vector<Press>{};
  QTest::newRow("middle button") << QSystemTrayIcon::MiddleClick << std::vector<Press>{};
}

void TrayIconTest::pressesArriveAsMouseMessages() {
  QFETCH(QSystemTrayIcon::ActivationReason, reason);
  QFETCH(std::vector<Press>, presses);
  TrayIconView view;
  std::vector<Press> reported;
  view.setPressHandler(
      [&reported](int button, int message) { reported.emplace_back(button, message); });

  activate(view, reason);

  QCOMPARE(reported, presses);
}

void TrayIconTest::leftPressShowsTheWindow() {
  ConnectedPlatform p;

  activate(p.platform.trayIcon(), QSystemTrayIcon::Trigger);

  QVERIFY(p.window.isVisible());
}

void TrayIconTest::rightPressAsksTheTrayQuestion() {
  ConnectedPlatform p;
  BoxAnswerer answerer(QMessageBox::Cancel);

  activate(p.platform.trayIcon(), QSystemTrayIcon::Context);

  QCOMPARE(answerer.text, QString("Do you want to retain the system tray icon?"));
  QVERIFY(!p.window.isVisible());
}

void TrayIconTest::activatingTheApplicationBringsTheIconBackWhileHooked() {
  ConnectedPlatform p;
  MainForm& form = p.form;
  const QSystemTrayIcon& icon = p.platform.trayIcon().icon();

  form.hook.HookWindow();
  sendApplicationState(Qt::ApplicationInactive);
  QVERIFY(!icon.isVisible());
  sendApplicationState(Qt::ApplicationActive);
  QVERIFY(icon.isVisible());
  QCOMPARE(icon.toolTip(), QString("Kiv - Kivander v7.0.0"));

  form.tray.SetTrayIcon(false);
  form.hook.UnhookWindow();
  sendApplicationState(Qt::ApplicationActive);
  QVERIFY(!icon.isVisible());
}

void TrayIconTest::activationFilterLetsEveryEventThrough() {
  int activations = 0;
  ActivationFilter filter([&activations] { ++activations; });
  QApplicationStateChangeEvent active(Qt::ApplicationActive);
  QEvent other(QEvent::User);

  QVERIFY(!filter.eventFilter(qApp, &active));
  QVERIFY(!filter.eventFilter(qApp, &other));
  QCOMPARE(activations, 1);
}

void TrayIconTest::aNotificationIsAMessageFromTheShownIconThatLeavesTheTip() {
  ConnectedPlatform p;
  QSignalSpy shown(&p.platform.trayIcon(), &TrayIconView::messageShown);

  p.platform.notify("Kiv", "before the icon");
  QCOMPARE(shown.count(), 0);

  p.form.tray.SetTrayIcon(true);
  p.platform.notify("Kiv", "Task 3 (Nightly) failed: exit status 2 after 1.5 s.");

  QCOMPARE(shown.count(), 1);
  QCOMPARE(shown.at(0).at(0).toString(), QString("Kiv"));
  QCOMPARE(shown.at(0).at(1).toString(),
           QString("Task 3 (Nightly) failed: exit status 2 after 1.5 s."));
  QCOMPARE(p.platform.trayIcon().icon().toolTip(), QString("Kiv - Kivander v7.0.0"));
  QVERIFY(QApplication::activeModalWidget() == nullptr);
}

// The real clock, the real starter and a program that is not there: the
// tick's failed start reaches the icon as a message, and asks nothing.
void TrayIconTest::aFailedScheduledStartIsNotified() {
  ConnectedPlatform p;
  p.form.tray.SetTrayIcon(true);
  QSignalSpy shown(&p.platform.trayIcon(), &TrayIconView::messageShown);
  const LocalTime due = p.platform.now() + std::chrono::seconds{1};
  Task task = testing::compiledTask(4, dateTimeText(due).substr(11));
  task.TaskName = "Nightly";
  task.AccessLocation = "/no/such/access";
  const testing::TempFolder folder;
  task.DatabaseLocation = testing::standInDatabase(folder.path() / "orders.mdb");
  p.form.tasks[4] = task;

  QTRY_VERIFY_WITH_TIMEOUT(
      [&] {
        p.form.Timer1_Timer();
        return shown.count() == 1;
      }(),
      4000);
  QVERIFY(shown.at(0).at(1).toString().startsWith(
      "Task 5 (Nightly) could not be started: Cannot start \"/no/such/access\""));
  QVERIFY(QApplication::activeModalWidget() == nullptr);
}

}  // namespace kiv

QTEST_MAIN(kiv::TrayIconTest)
#include "tray_icon_test.moc"
