#include "run_command.h"

#include <algorithm>

#include "compile/command_line.h"
#include "console_scheduling.h"
#include "exit_status.h"
#include "os_services.h"
#include "run_ticks.h"
#include "schedule_file/schedule_decoder.h"
#include "schedule_source.h"
#include "shell/stored_metrics_file.h"

namespace kiv::ctl {
namespace {

// What the window would say on opening the schedule and showing its tasks:
// a conversion from an older layout, and each compiled task that compiling
// now refuses, which is never started.
void noteScheduleDefects(const Schedule& schedule, ConsoleScheduling& console) {
  if (schedule.layout != ScheduleLayout::Current) console.note(oldLayoutNotice());
  for (int index = 0; index < kTaskCount; ++index) {
    const Task& task = schedule.tasks.at(index);
    if (task.Compiled != 1) continue;
    if (const auto compilable = validateForCompile(compileInputsFor(task)); !compilable) {
      console.note(taskSubject(index + 1, task.TaskName) +
                   " cannot be started: " + std::string(compilable.error().message));
    }
  }
}

}  // namespace

int runCommand(const std::string& file, const RunReports& reports, std::ostream& out,
               std::ostream& err) {
  std::optional<Schedule> schedule = loadScheduleWarning(file, err);
  if (!schedule) return kExitFailure;

  StopSignals stopSignals;
  // Two schedulers on one schedule would launch every task twice.
  const ScheduleClaim claim = claimScheduleFile(file);
  if (claim.kind == ScheduleClaim::Kind::HeldByOther) {
    reportError(err, file + " is already being scheduled by " + claim.detail);
    return kExitFailure;
  }
  ConsoleScheduling console(out, err);
  Scheduler scheduler(schedule->tasks, console.ports(), console);
  scheduler.setSystemLog(&systemLog(), reports.successes);
  std::optional<StoredMetricsFile> metrics;
  if (reports.metricsFile) {
    metrics.emplace(*reports.metricsFile, scheduleStorage(),
                    [&console](const std::string& text) { console.note(text); });
    scheduler.setMetricsFile(&*metrics);
  }
  scheduler.setSchedule(scheduleIdentity(file));
  scheduler.start();

  noteScheduleDefects(*schedule, console);
  const auto compiled =
      std::ranges::count_if(schedule->tasks, [](const Task& t) { return t.Compiled == 1; });
  console.note("Scheduling " + std::to_string(compiled) + " compiled task" +
               (compiled == 1 ? "" : "s") + " of " + file + " until " +
               std::string(stopRequestNames()) + ".");

  runTicks(scheduler, console.programs(), stopSignals);
  scheduler.stop();
  return kExitSuccess;
}

}  // namespace kiv::ctl
