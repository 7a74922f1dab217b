#include "run_ticks.h"

#include "scheduler/tick_delay.h"
#include "wall_clock.h"

namespace kiv::ctl {

void runTicks(MainForm& form, ConsolePlatform& platform, StopSignals& stopSignals) {
  while (!platform.ended() && stopSignals.wait(delayToNextSecond(wallClockMilliseconds()))) {
    form.Timer1_Timer();
  }
}

}  // namespace kiv::ctl
