#pragma once

#include "windows_api.h"

#include <optional>

#include "base/names.h"

namespace kiv {

// The close reason (UnloadMode) a message to the main window carries, or
// nothing for a message that asks for no close. `sender` is what
// InSendMessageEx said about the message.
//
// The user's ways of closing (the close button, the system menu, Alt+F4)
// reach the window as its own system command, which sends WM_CLOSE from the
// window's own thread: reason 0. The task manager's End task sends WM_CLOSE
// from its own process: a WM_CLOSE sent from another thread is reason 3.
// The end of the session (WM_QUERYENDSESSION, and WM_ENDSESSION when the
// session does end) is reason 2.
std::optional<CloseReason> closeReason(UINT message, WPARAM wParam, DWORD sender);

}  // namespace kiv
