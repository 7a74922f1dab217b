// Notices through the desktop's notification service. Run on a private
// session bus (dbus-run-session), where the test itself is the service.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QTest>
#include <QVariantMap>
#include <vector>

#include "qt_platform.h"
#include "shell/tray_data.h"
#include "tray_icon_view.h"

namespace kiv {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

struct NotifyCall {
  QString appName;
  uint replacesId;
  QString appIcon;
  QString summary;
  QString body;
  QStringList actions;
  QVariantMap hints;
  int expireTimeout;
};

// The notification service as a desktop runs it, on a connection of its own
// so that the program's calls go through the bus like anybody's.
class NotificationServer : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  // A server that does not answer owns the name, but has no object to call.
  explicit NotificationServer(bool answers) {
    if (answers) bus_.registerObject(kPath, this, QDBusConnection::ExportAllSlots);
    registered_ = bus_.registerService(kService);
  }
  ~NotificationServer() override {
    bus_.unregisterService(kService);
    bus_.unregisterObject(kPath);
    QDBusConnection::disconnectFromBus(kConnection);
  }
  NotificationServer(const NotificationServer&) = delete;
  NotificationServer& operator=(const NotificationServer&) = delete;

  bool registered() const { return registered_; }
  std::vector<NotifyCall> calls;

 public slots:
  uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
              const QString& summary, const QString& body, const QStringList& actions,
              const QVariantMap& hints, int expireTimeout) {
    calls.push_back({appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
    return static_cast<uint>(calls.size());
  }

 private:
  static inline const QString kConnection = QStringLiteral("notification server");
  QDBusConnection bus_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnection);
  bool registered_ = false;
};

// The program's platform with its icon shown, so a balloon can show.
struct ShownIcon {
  ShownIcon() { platform.notifyIcon(TrayOperation::Add, NotifyIconData{}); }
  QtPlatform platform;
};

const std::string kText = "Task 3 (Überprüfung <Lager> & Co) failed: exit status 2 after 1.5 s.";

class DesktopNotificationsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY2(QDBusConnection::sessionBus().isConnected(),
             "run under dbus-run-session: the test needs a session bus of its own");
  }

  void aNoticeGoesToTheDesktopsService_data() {
    QTest::addColumn<bool>("failure");
    QTest::addColumn<int>("urgency");
    QTest::addColumn<int>("expireTimeout");
    QTest::newRow("a failure stays in the notification centre") << true << 2 << 0;
    QTest::newRow("another notice goes after the server's time") << false << 1 << -1;
  }

  void aNoticeGoesToTheDesktopsService() {
    QFETCH(bool, failure);
    QFETCH(int, urgency);
    QFETCH(int, expireTimeout);
    NotificationServer server(true);
    QVERIFY(server.registered());
    ShownIcon shown;
    QSignalSpy balloons(&shown.platform.trayIcon(), &TrayIconView::messageShown);

    if (failure) {
      shown.platform.notifyFailure("Kiv", kText);
    } else {
      shown.platform.notify("Kiv", kText);
    }

    QTRY_COMPARE_WITH_TIMEOUT(server.calls.size(), std::size_t{1}, 20'000);
    const NotifyCall& call = server.calls.front();
    QCOMPARE(call.appName, QStringLiteral("Kiv"));
    QCOMPARE(call.replacesId, 0U);
    QCOMPARE(call.appIcon, QStringLiteral("kiv"));
    QCOMPARE(call.summary, QStringLiteral("Kiv"));
    QCOMPARE(call.body, QStringLiteral("Task 3 (Überprüfung &lt;Lager&gt; &amp; Co) failed: exit "
                                       "status 2 after 1.5 s."));
    QVERIFY(call.actions.isEmpty());
    const QVariant level = call.hints.value(QStringLiteral("urgency"));
    QCOMPARE(level.metaType(), QMetaType::fromType<uchar>());  // a byte, as servers read it
    QCOMPARE(int{level.value<uchar>()}, urgency);
    QCOMPARE(call.expireTimeout, expireTimeout);
    QCOMPARE(balloons.count(), 0);
  }

  void withoutAServiceTheIconsBalloonShowsIt() {
    QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(kService).value());
    ShownIcon shown;
    QSignalSpy balloons(&shown.platform.trayIcon(), &TrayIconView::messageShown);

    shown.platform.notifyFailure("Kiv", kText);

    QCOMPARE(balloons.count(), 1);
    QCOMPARE(balloons.at(0).at(0).toString(), QStringLiteral("Kiv"));
    QCOMPARE(balloons.at(0).at(1).toString(), QString::fromStdString(kText));
  }

  void aServiceThatFailsTheCallLeavesItToTheBalloon() {
    NotificationServer server(false);
    QVERIFY(server.registered());
    ShownIcon shown;
    QSignalSpy balloons(&shown.platform.trayIcon(), &TrayIconView::messageShown);

    shown.platform.notify("Kiv", kText);

    QTRY_COMPARE_WITH_TIMEOUT(balloons.count(), 1, 20'000);
    QCOMPARE(balloons.at(0).at(1).toString(), QString::fromStdString(kText));
  }
};

}  // namespace
}  // namespace kiv

QTEST_MAIN(kiv::DesktopNotificationsTest)
#include "desktop_notifications_test.moc"
