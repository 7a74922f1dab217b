#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "shell/system_log_entries.h"

namespace kiv::ctl {

// "kivctl run": the window program's scheduler without its window. Loads the
// schedule into the same MainForm, ticks just after each second boundary and
// launches due compiled tasks as the window program does, until a stop
// request (stopRequestNames) or a task that closes the scheduler after
// running. Each launch is journalled; each failure, and with `successes` on
// each launch that went well, is written to the system's log too, and
// a metrics file, when one is named, is rewritten after each launch and end. The exit status: a
// failure only when the schedule cannot be loaded, or another Kiv program of the user schedules it
// already. What is told besides the journal: the launches that went well to the system's log, and
// the figures of each task to a metrics file.
struct RunReports {
  SuccessLogging successes = SuccessLogging::Off;
  std::optional<std::string> metricsFile;
};

int runCommand(const std::string& file, const RunReports& reports, std::ostream& out,
               std::ostream& err);

}  // namespace kiv::ctl
