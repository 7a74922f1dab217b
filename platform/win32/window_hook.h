#pragma once

#include "windows_api.h"

#include "shell/tray_icon.h"

namespace kiv {

// The main window's replacement window procedure. Installed with
// SetWindowLongW (GWL_WNDPROC), keeping the
// window a Unicode one,, it shows every message to the core's
// WindowHook and then runs the procedure it replaced through CallWindowProcW,
// returning that procedure's result unchanged: no message is swallowed or
// altered. Removing it puts the replaced procedure back.
void installWindowHook(HWND window, WindowHook& hook);
void removeWindowHook(HWND window);

}  // namespace kiv
