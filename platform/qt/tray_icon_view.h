#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <functional>

#include "shell/tray_data.h"

namespace kiv {

// The notification-area icon as Qt shows it, driven by the tray record the
// core sends. Presses on the icon are reported as the mouse messages the
// record's callback carries: 513 for the left button, 516 for the right.
class TrayIconView : public QObject {
  Q_OBJECT

 public:
  // Receives the button (1 left, 2 right) and the mouse message of a press.
  using PressHandler = std::function<void(int button, int mouseMessage)>;

  explicit TrayIconView(QObject* parent = nullptr);

  void setPressHandler(PressHandler handler) { onPress_ = std::move(handler); }

  // Add shows the icon with the record's tip, Modify changes the tip of an
  // icon that is shown, Delete removes the icon. False when the call had
  // nothing to act on or no notification area takes icons.
  bool apply(TrayOperation operation, const NotifyIconData& data);

  // A message from the icon that closes by itself, asks nothing and leaves
  // the tip as it is; nothing while the icon is not shown.
  void showMessage(const std::string& title, const std::string& text);

  QSystemTrayIcon& icon() { return icon_; }
  const QSystemTrayIcon& icon() const { return icon_; }

 signals:
  // A message showMessage put up, for whoever watches the icon.
  void messageShown(const QString& title, const QString& text);

 private:
  void forwardActivation(QSystemTrayIcon::ActivationReason reason);

  QSystemTrayIcon icon_;
  PressHandler onPress_;
};

}  // namespace kiv
