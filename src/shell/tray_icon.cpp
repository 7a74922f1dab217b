#include "shell/tray_icon.h"

#include "base/identity.h"
#include "shell/tray_tip.h"

namespace kiv {

void TrayIcon::SetTrayIcon(bool Show) {
  TrayData = NotifyIconData{};
  setTrayTip(TrayData, identity::versionLine());
  platform_.notifyIcon(Show ? TrayOperation::Add : TrayOperation::Delete, TrayData);
}

void TrayIcon::modify() {
  platform_.notifyIcon(TrayOperation::Modify, TrayData);
}

void WindowHook::HookWindow() {
  platform_.setWindowHook(true);
  hooked_ = true;
}

void WindowHook::UnhookWindow() {
  platform_.setWindowHook(false);
  hooked_ = false;
}

void WindowHook::WindowProc(std::uint32_t uMsg, std::uintptr_t wParam) {
  const bool activated = uMsg == WM_ACTIVATEAPP && wParam == 1;
  const bool highMessage = static_cast<std::int32_t>(uMsg) > 0x7FFF;
  if (activated || highMessage) tray_.SetTrayIcon(true);
}

}  // namespace kiv
