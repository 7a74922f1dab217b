#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <string>

#include "form/main_form.h"
#include "form_view.h"
#include "qt_platform.h"
#include "support/compiled_task.h"
#include "support/fake_platform.h"

namespace kiv {
namespace {

using testing::compiledTask;

// The scripted platform, also telling what the window showed at the moment
// a program was started.
class StartWatchingPlatform : public testing::FakePlatform {
 public:
  std::function<void()> onStart;

  StartResult startProcess(const std::string& commandLine) override {
    if (onStart) onStart();
    return FakePlatform::startProcess(commandLine);
  }
};

// Closes the next message box once it is open, first calling `whileOpen`.
void closeNextBox(std::function<void()> whileOpen) {
  QTimer::singleShot(0, [whileOpen = std::move(whileOpen)] {
    whileOpen();
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
  });
}

}  // namespace

// What a tick or the core changes while the view holds its drawing reaches
// the widgets afterwards, and before any box opens over the window.
class DrawingHoldTest : public QObject {
  Q_OBJECT

 private slots:
  void heldChangesAreDrawnWhenTheHoldEnds();
  void aScheduledLaunchStartsTheProgramBeforeTheWindowIsDrawn();
  void aBoxOpensOverAWindowThatIsDrawn();
};

void DrawingHoldTest::heldChangesAreDrawnWhenTheHoldEnds() {
  testing::FakePlatform platform;
  MainForm form(platform);
  FormView view(form);
  form.Form_Load();
  form.tasks[3].TaskName = "Weekly repair";
  auto* taskName = qobject_cast<QLineEdit*>(view.widgetFor(form.TBox[7]));
  QVERIFY(taskName != nullptr);
  const QString captionBefore = view.windowTitle();

  {
    const DrawingHold held(&view, true);
    form.cmbTask.setListIndex(3);
    form.KIV.setCaption("Kiv - held");
    QCOMPARE(taskName->text(), QString());
    QCOMPARE(view.windowTitle(), captionBefore);
  }

  QCOMPARE(taskName->text(), QStringLiteral("Weekly repair"));
  QCOMPARE(view.windowTitle(), QStringLiteral("Kiv - held"));
}

void DrawingHoldTest::aScheduledLaunchStartsTheProgramBeforeTheWindowIsDrawn() {
  StartWatchingPlatform platform;
  MainForm form(platform);
  FormView view(form);
  form.Form_Load();
  form.tasks[5] = compiledTask(5, "02:00:00");
  platform.clock = fromCivil({2026, 12, 7, 2, 0, 0});
  auto* selector = qobject_cast<QComboBox*>(view.widgetFor(form.cmbTask));
  QVERIFY(selector != nullptr);
  const QString captionBefore = view.windowTitle();
  int shownAtStart = -1;
  QString captionAtStart;
  platform.onStart = [&] {
    shownAtStart = selector->currentIndex();
    captionAtStart = view.windowTitle();
  };

  tickDrawingAfterwards(form, &view);

  QCOMPARE(platform.launches.size(), std::size_t{1});
  QCOMPARE(form.cmbTask.listIndex(), 5);  // the core showed it before the start
  QCOMPARE(shownAtStart, 0);              // the window had not drawn it yet
  QCOMPARE(captionAtStart, captionBefore);
  QCOMPARE(selector->currentIndex(), 5);  // and draws it once the tick is over
  QVERIFY(view.windowTitle() != captionBefore);
}

void DrawingHoldTest::aBoxOpensOverAWindowThatIsDrawn() {
  QtPlatform platform;
  MainForm form(platform);
  FormView view(form);
  platform.setWindow(&view);
  form.tasks[2].TaskName = "Nightly compact";
  auto* taskName = qobject_cast<QLineEdit*>(view.widgetFor(form.TBox[7]));
  QVERIFY(taskName != nullptr);

  const DrawingHold held(&view, true);
  form.cmbTask.setListIndex(2);
  QString shownWhileOpen;
  closeNextBox([&] { shownWhileOpen = taskName->text(); });
  platform.messageBox({"A question", MessageButtons::Ok, MessageIcon::None, 0, "Kiv"});
  QCOMPARE(shownWhileOpen, QStringLiteral("Nightly compact"));

  // The hold goes on after the box.
  form.KIV.setCaption("Kiv - after the box");
  QVERIFY(view.windowTitle() != QStringLiteral("Kiv - after the box"));
}

}  // namespace kiv

QTEST_MAIN(kiv::DrawingHoldTest)
#include "drawing_hold_test.moc"
