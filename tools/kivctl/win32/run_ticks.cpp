#include "run_ticks.h"

#include <chrono>

#include "program_watcher.h"
#include "scheduler/tick_delay.h"
#include "tick_deadline_timer.h"

namespace kiv::ctl {
namespace {

// Arms the next tick and waits for it: on the deadline timer, or where no
// waitable timer could be made, for the delay to the next second. False when
// a stop was asked.
bool waitForTick(TickDeadlineTimer& ticks, StopSignals& stopSignals) {
  const std::chrono::system_clock::time_point now = ticks.armForNextTick();
  if (ticks.handle() != nullptr) return stopSignals.waitFor(ticks.handle());
  return stopSignals.wait(delayToNextSecond(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch())));
}

}  // namespace

// The next tick is armed only after a tick, so nothing stands between the
// wake and a launch; the ended programs are collected after the tick too.
void runTicks(Scheduler& scheduler, StartedPrograms& programs, StopSignals& stopSignals,
              TicksEnd end) {
  TickDeadlineTimer ticks;
  while (!scheduler.closed() &&
         !(end == TicksEnd::WhenProgramsEnd && scheduler.runningPrograms().empty()) &&
         waitForTick(ticks, stopSignals)) {
    scheduler.tick();
    for (const ProgramEnding& ending : programs.collectEnded()) {
      scheduler.programEnded(ending.pid, ending.outcome);
    }
  }
}

}  // namespace kiv::ctl
