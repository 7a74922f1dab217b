#pragma once

#include "engine/scheduler.h"
#include "started_programs.h"
#include "stop_signals.h"

namespace kiv::ctl {

// The loop of "kivctl run", the system's own (posix/, win32/): ticks
// `scheduler` just past each second boundary and tells it of each started
// program that ends, until a stop is asked or a launch closes the scheduler.
void runTicks(Scheduler& scheduler, StartedPrograms& programs, StopSignals& stopSignals);

}  // namespace kiv::ctl
