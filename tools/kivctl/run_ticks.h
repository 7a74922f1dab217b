#pragma once

#include "console_platform.h"
#include "form/main_form.h"
#include "stop_signals.h"

namespace kiv::ctl {

// The loop of "kivctl run", the system's own (posix/, win32/): ticks `form`
// just past each second boundary and tells it of each started program that
// ends, until a stop is asked or the form ends the program.
void runTicks(MainForm& form, ConsolePlatform& platform, StopSignals& stopSignals);

}  // namespace kiv::ctl
