#pragma once

#include "windows_api.h"

#include <shellapi.h>

#include <string>

#include "shell/tray_data.h"

namespace kiv {

// The shell's record for the core's tray record. The core keeps the oldest,
// 88-byte NOTIFYICONDATA as it is documented; the shell is handed its wide
// form of the same version (NOTIFYICONDATAW_V1_SIZE), with the window, the
// icon and the tip as UTF-16: at most 63 code units and the closing NUL, cut
// before a character rather than through it.
NOTIFYICONDATAW shellTrayRecord(const NotifyIconData& data, HWND window, HICON icon);

// Shell_NotifyIconW with the operation and the record; true when the shell
// accepted the call.
bool notifyShell(TrayOperation operation, const NotifyIconData& data, HWND window, HICON icon);

// The shell's record for a balloon from the icon: the version 2 record, the
// first that carries one, with only NIF_INFO set, so the icon and its tip stay
// as they are. Title and text are UTF-16, the title cut at 63 code units, the
// text at 255, each before a character rather than through it.
NOTIFYICONDATAW shellBalloonRecord(const std::string& title, const std::string& text, HWND window);

// Shows the balloon from the window's icon; it asks nothing and goes by
// itself. True when the shell accepted it.
bool showBalloon(const std::string& title, const std::string& text, HWND window);

}  // namespace kiv
