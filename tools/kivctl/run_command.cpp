#include "run_command.h"

#include <algorithm>

#include "console_platform.h"
#include "exit_status.h"
#include "form/main_form.h"
#include "run_ticks.h"
#include "schedule_source.h"

namespace kiv::ctl {

int runCommand(const std::string& file, std::ostream& out, std::ostream& err) {
  // Read once here for the same one-line failure every command gives; the
  // form reads the file again as it always does.
  if (!loadScheduleWarning(file, err)) return kExitFailure;

  StopSignals stopSignals;
  ConsolePlatform platform(file, out, err);
  // Two schedulers on one schedule would launch every task twice.
  const ScheduleClaim claim = platform.claimSchedule(file);
  if (claim.kind == ScheduleClaim::Kind::HeldByOther) {
    reportError(err, file + " is already being scheduled by " + claim.detail);
    return kExitFailure;
  }
  MainForm form(platform);
  platform.watchTray(form.tray.TrayData);
  form.Main();
  // Loading names the schedule only once it has been read; the form has
  // already said why it was not.
  if (form.ScheduleFileName.empty()) return kExitFailure;

  const auto compiled =
      std::ranges::count_if(form.tasks, [](const Task& t) { return t.Compiled == 1; });
  platform.note("Scheduling " + std::to_string(compiled) + " compiled task" +
                (compiled == 1 ? "" : "s") + " of " + file + " until " +
                std::string(stopRequestNames()) + ".");

  runTicks(form, platform, stopSignals);
  form.journalUnfinishedLaunches();
  return kExitSuccess;
}

}  // namespace kiv::ctl
