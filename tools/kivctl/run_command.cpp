#include "run_command.h"

#include <algorithm>
#include <array>

#include "app/main_form.h"
#include "console_platform.h"
#include "exit_status.h"
#include "posix/real_time_timer.h"
#include "schedule_source.h"
#include "stop_signals.h"

namespace kiv::ctl {
namespace {

using TickClock = posix::RealTimeTimer::Clock;

// Ticks just past each second boundary and reaps the programs the ticks
// start, until a stop is asked or the form ends the program. Each tick is
// woken by an absolute deadline, or at once when the clock is set, and the
// next one is armed only after it, so nothing stands between the wake and a
// launch.
void runTicks(MainForm& form, ConsolePlatform& platform, StopSignals& stopSignals) {
  posix::RealTimeTimer ticks;
  ticks.armNextTick(TickClock::now);
  while (!platform.ended()) {
    std::array<pollfd, 2> watched{
        {{ticks.descriptor(), POLLIN, 0}, {platform.children().descriptor(), POLLIN, 0}}};
    if (!stopSignals.wait(watched)) return;
    if (watched[0].revents != 0 && ticks.take() != posix::RealTimeTimer::Wake::None) {
      form.Timer1_Timer();
      ticks.armNextTick(TickClock::now);
    }
    if (watched[1].revents != 0) platform.children().reap();
  }
}

}  // namespace

int runCommand(const std::string& file, std::ostream& out, std::ostream& err) {
  // Read once here for the same one-line failure every command gives; the
  // form reads the file again as it always does.
  if (!loadSchedule(file, err)) return kExitFailure;

  StopSignals stopSignals;
  ConsolePlatform platform(file, out, err);
  MainForm form(platform);
  platform.watchTray(form.tray.TrayData);
  form.Main();
  // Loading names the schedule only once it has been read; the form has
  // already said why it was not.
  if (form.ScheduleFileName.empty()) return kExitFailure;

  const auto compiled =
      std::ranges::count_if(form.tasks, [](const Task& t) { return t.Compiled == 1; });
  platform.note("Scheduling " + std::to_string(compiled) + " compiled task" +
                (compiled == 1 ? "" : "s") + " of " + file + " until SIGINT or SIGTERM.");

  runTicks(form, platform, stopSignals);
  return kExitSuccess;
}

}  // namespace kiv::ctl
