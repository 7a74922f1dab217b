#include "due_command.h"

#include "base/local_time.h"
#include "console_scheduling.h"
#include "exit_status.h"
#include "run_ticks.h"
#include "schedule_source.h"
#include "scheduler/day_rules.h"

namespace kiv::ctl {
namespace {

// Starts the task once, as "kivctl run" starts a launch, and watches its
// program until it ends, ending it at the task's time limit, as the scheduler
// does; a stop request ends the watch and journals the end as unknown. The
// scheduler is given the tasks uncompiled, so that its ticks launch none of
// them again.
int startOnce(const std::string& file, const Schedule& schedule, int index, std::ostream& out,
              std::ostream& err) {
  TaskTable tasks = schedule.tasks;
  for (Task& task : tasks) task.Compiled = 0;
  StopSignals stopSignals;
  ConsoleScheduling console(out, err);
  Scheduler scheduler(tasks, console.ports(), console);
  scheduler.setSchedule(scheduleIdentity(file));
  const auto started = scheduler.runNow(index);
  if (started) runTicks(scheduler, console.programs(), stopSignals, TicksEnd::WhenProgramsEnd);
  scheduler.stop();
  if (!started) {
    reportError(err, "task " + std::to_string(index + 1) + " was not started: " + started.error());
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace

int dueCommand(const std::string& file, int task, bool thenRun, std::chrono::local_days today,
               std::ostream& out, std::ostream& err) {
  const std::optional<Schedule> schedule = loadScheduleWarning(file, err);
  if (!schedule) return kExitFailure;
  const int index = task - 1;
  const Task& chosen = schedule->tasks.at(static_cast<std::size_t>(index));
  if (chosen.Compiled != 1) {
    reportError(err, "task " + std::to_string(task) +
                         " is not compiled, so the scheduler never launches it");
    return kExitFailure;
  }
  const bool allowed = dayRuleAllows(chosen.DaysToRunOn, today);
  const std::string date = dateTimeText(LocalTime(today)).substr(0, 10);
  if (!allowed) {
    out << "task " << task << " does not launch on " << date << "\n";
    return kExitSuccess;
  }
  out << "task " << task << " may launch on " << date << "\n";
  if (!thenRun) return kExitSuccess;
  return startOnce(file, *schedule, index, out, err);
}

}  // namespace kiv::ctl
