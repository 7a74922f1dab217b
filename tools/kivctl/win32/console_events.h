#pragma once

#include "windows_api.h"

namespace kiv::ctl {

// The console's handler while StopSignals lives: Ctrl+C and Ctrl+Break ask
// the scheduler to stop and are taken (TRUE); the console's closing, log-off
// and shut-down ask it too, and the handler then holds the process for a
// grace period in which the scheduler ends by itself. Other events are left
// to the next handler (FALSE).
BOOL WINAPI onConsoleEvent(DWORD event);

}  // namespace kiv::ctl
