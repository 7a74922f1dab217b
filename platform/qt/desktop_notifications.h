#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace kiv {

// Notices through the desktop's notification service (the freedesktop
// org.freedesktop.Notifications on the session bus), which shows them the
// desktop's way and keeps them in its notification centre. Where no such
// service runs, or it refuses a notice, the notice goes to `fallback`: the
// balloon of the notification-area icon.
class DesktopNotifications : public QObject {
  Q_OBJECT

 public:
  enum class Urgency { Normal, Critical };
  using Fallback = std::function<void(const QString& title, const QString& text)>;

  explicit DesktopNotifications(Fallback fallback, QObject* parent = nullptr);

  // A critical notice stays until the user closes it; a normal one goes
  // after the service's own time.
  void show(const QString& title, const QString& text, Urgency urgency);

 private:
  Fallback fallback_;
};

}  // namespace kiv
