#pragma once

#include "windows_api.h"

#include <shellapi.h>

#include <string>

#include "shell/tray_data.h"

namespace kiv {

// The shell's record for the core's tray record: NOTIFYICONDATAA in its
// oldest, 88-byte form, with the window, the icon and the tip in the ANSI
// code page (at most 63 characters and the closing NUL).
NOTIFYICONDATAA shellTrayRecord(const NotifyIconData& data, HWND window, HICON icon);

// Shell_NotifyIconA with the operation and the record; true when the shell
// accepted the call.
bool notifyShell(TrayOperation operation, const NotifyIconData& data, HWND window, HICON icon);

// The shell's record for a balloon from the icon: the version 2 record, the
// first that carries one, with only NIF_INFO set, so the icon and its tip stay
// as they are. The title is cut at 63 characters, the text at 255.
NOTIFYICONDATAA shellBalloonRecord(const std::string& title, const std::string& text, HWND window);

// Shows the balloon from the window's icon; it asks nothing and goes by
// itself. True when the shell accepted it.
bool showBalloon(const std::string& title, const std::string& text, HWND window);

}  // namespace kiv
