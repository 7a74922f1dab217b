#pragma once

#include "windows_api.h"

namespace kiv {

// Arms the window's tick timer to fire just after the next second boundary of
// the system clock. Re-armed at every tick, the timer never drifts through
// the second, so no clock second is skipped or read twice.
void armTickTimer(HWND window, UINT_PTR timer);

}  // namespace kiv
