#pragma once

#include "windows_api.h"

#include <shellapi.h>

#include "shell/tray_data.h"

namespace kiv {

// The shell's record for the core's tray record: NOTIFYICONDATAA in its
// oldest, 88-byte form, with the window, the icon and the tip in the ANSI
// code page (at most 63 characters and the closing NUL).
NOTIFYICONDATAA shellTrayRecord(const NotifyIconData& data, HWND window, HICON icon);

// Shell_NotifyIconA with the operation and the record; true when the shell
// accepted the call.
bool notifyShell(TrayOperation operation, const NotifyIconData& data, HWND window, HICON icon);

}  // namespace kiv
