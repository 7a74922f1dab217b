#pragma once

#include "engine/scheduler.h"
#include "started_programs.h"
#include "stop_signals.h"

namespace kiv::ctl {

// When the loop ends besides a stop request or a launch that closes the
// scheduler: never, or once no program it started runs any more.
enum class TicksEnd { OnStop, WhenProgramsEnd };

// The loop of "kivctl run", the system's own (posix/, win32/): ticks
// `scheduler` just past each second boundary and tells it of each started
// program that ends, until a stop is asked, a launch closes the scheduler,
// or, with TicksEnd::WhenProgramsEnd, no program it started runs.
void runTicks(Scheduler& scheduler, StartedPrograms& programs, StopSignals& stopSignals,
              TicksEnd end = TicksEnd::OnStop);

}  // namespace kiv::ctl
