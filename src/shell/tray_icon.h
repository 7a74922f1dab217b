#pragma once

#include "shell/platform.h"
#include "shell/tray_data.h"

namespace kiv {

// The notification-area icon: the one tray record of the process and the
// calls that add, modify and delete the icon it describes. No result of the
// shell is examined: adding an icon that is there, or deleting one that is
// not, fails without effect.
class TrayIcon {
 public:
  explicit TrayIcon(Platform& platform) : platform_(platform) {}

  NotifyIconData TrayData;

  // Refills every field, the tip with the version line, and adds (Show) or
  // deletes the icon.
  void SetTrayIcon(bool Show);
  // Sends the record as it stands, so the icon shows the tip last written.
  void modify();

 private:
  Platform& platform_;
};

// The replacement window procedure of the main window, as far as the core
// decides anything in it: which messages bring the icon back. The front-end
// passes every message on unchanged afterwards.
class WindowHook {
 public:
  static constexpr std::uint32_t WM_ACTIVATEAPP = 0x001C;

  WindowHook(Platform& platform, TrayIcon& tray) : platform_(platform), tray_(tray) {}

  void HookWindow();
  void UnhookWindow();
  bool hooked() const { return hooked_; }

  // Re-adds the icon when the application is activated and on every message
  // above 0x7FFF (application-defined and registered messages, among them the
  // shell's "taskbar created" after a restart of the panel).
  void WindowProc(std::uint32_t uMsg, std::uintptr_t wParam);

 private:
  Platform& platform_;
  TrayIcon& tray_;
  bool hooked_ = false;
};

}  // namespace kiv
