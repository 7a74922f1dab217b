#pragma once

#include <ostream>
#include <string>

#include "shell/system_log_entries.h"

namespace kiv::ctl {

// "kivctl run": the window program's scheduler without its window. Loads the
// schedule into the same MainForm, ticks just after each second boundary and
// launches due compiled tasks as the window program does, until a stop
// request (stopRequestNames) or a task that closes the scheduler after
// running. Each launch is journalled; each failure, and with `successes` on
// each launch that went well, is written to the system's log too. The exit status: a failure only
// when the schedule cannot be loaded, or another Kiv program of the user schedules it already.
int runCommand(const std::string& file, SuccessLogging successes, std::ostream& out,
               std::ostream& err);

}  // namespace kiv::ctl
