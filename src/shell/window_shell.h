#pragma once

#include "shell/tray_data.h"

namespace kiv {

class MenuItem;

// The window and its notification-area icon.
class WindowShell {
 public:
  virtual ~WindowShell() = default;
  virtual void showWindow() = 0;
  virtual void hideWindow() = 0;
  virtual void popupMenu(const MenuItem& menu) = 0;
  // Puts the window hook in place or takes it away: while installed, the
  // front-end passes every message of the main window to WindowHook::WindowProc.
  virtual void setWindowHook(bool installed) = 0;
  virtual void showHelp(int context) = 0;
  // The notification-area icon; the result says whether the shell accepted the call.
  virtual bool notifyIcon(TrayOperation operation, const NotifyIconData& data) = 0;
};

}  // namespace kiv
