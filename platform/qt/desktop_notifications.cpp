#include "desktop_notifications.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QVariantMap>
#include <utility>

#include "base/identity.h"

namespace kiv {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// The name the installed icon has in the icon theme (see kiv.desktop).
const QString kIconName = QStringLiteral("kiv");

// The urgency levels of the notification protocol.
constexpr uchar kNormalUrgency = 1;
constexpr uchar kCriticalUrgency = 2;
// Never expires / the server's own time.
constexpr qint32 kStays = 0;
constexpr qint32 kServersTime = -1;

// A server may read the body as markup: a task name such as "<orders> &
// stock" must show as typed.
QString plainBody(const QString& text) {
  QString body;
  body.reserve(text.size());
  for (const QChar character : text) {
    if (character == QLatin1Char('&')) {
      body += QStringLiteral("&amp;");
    } else if (character == QLatin1Char('<')) {
      body += QStringLiteral("&lt;");
    } else if (character == QLatin1Char('>')) {
      body += QStringLiteral("&gt;");
    } else {
      body += character;
    }
  }
  return body;
}

}  // namespace

DesktopNotifications::DesktopNotifications(Fallback fallback, QObject* parent)
    : QObject(parent), fallback_(std::move(fallback)) {}

void DesktopNotifications::show(const QString& title, const QString& text, Urgency urgency) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  const QDBusConnectionInterface* names = bus.isConnected() ? bus.interface() : nullptr;
  if (names == nullptr || !names->isServiceRegistered(kService).value()) {
    fallback_(title, text);
    return;
  }
  const bool critical = urgency == Urgency::Critical;
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
  const QVariantMap hints{{QStringLiteral("urgency"),
                           QVariant::fromValue(critical ? kCriticalUrgency : kNormalUrgency)}};
  call << QString::fromUtf8(identity::kTitle.data(),
                            static_cast<qsizetype>(identity::kTitle.size()))
       << uint{0} << kIconName << title << plainBody(text) << QStringList() << hints
       << (critical ? kStays : kServersTime);
  // Asynchronous, so a service that hangs never holds up the scheduler's
  // ticks; one that fails leaves the notice to the balloon.
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, title, text] {
    if (watcher->isError()) fallback_(title, text);
    watcher->deleteLater();
  });
}

}  // namespace kiv
