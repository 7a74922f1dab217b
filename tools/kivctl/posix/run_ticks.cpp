#include "run_ticks.h"

#include <array>

#include "posix/real_time_timer.h"

namespace kiv::ctl {

// Each tick is woken by an absolute deadline, or at once when the clock is
// set, and the next one is armed only after it, so nothing stands between
// the wake and a launch.
void runTicks(Scheduler& scheduler, StartedPrograms& programs, StopSignals& stopSignals,
              TicksEnd end) {
  using TickClock = posix::RealTimeTimer::Clock;
  posix::ChildWatcher& children = programs.children();
  children.reportTo([&scheduler](const posix::ChildEnding& ending) {
    scheduler.programEnded(ending.pid, posix::programOutcome(ending));
  });
  posix::RealTimeTimer ticks;
  ticks.armNextTick(TickClock::now);
  while (!scheduler.closed() &&
         !(end == TicksEnd::WhenProgramsEnd && scheduler.runningPrograms().empty())) {
    std::array<pollfd, 2> watched{
        {{ticks.descriptor(), POLLIN, 0}, {children.descriptor(), POLLIN, 0}}};
    if (!stopSignals.wait(watched)) return;
    if (watched[0].revents != 0 && ticks.take() != posix::RealTimeTimer::Wake::None) {
      scheduler.tick();
      ticks.armNextTick(TickClock::now);
    }
    if (watched[1].revents != 0) children.reap();
  }
}

}  // namespace kiv::ctl
