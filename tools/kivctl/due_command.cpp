#include "due_command.h"

#include "base/local_time.h"
#include "console_scheduling.h"
#include "exit_status.h"
#include "schedule_source.h"
#include "scheduler/day_rules.h"

namespace kiv::ctl {
namespace {

// Starts the task as a launch of "kivctl run" starts it. The program is not
// waited for: its end is journalled as unknown, as when the scheduler ends
// while it runs.
int startOnce(const std::string& file, const Schedule& schedule, int index, std::ostream& out,
              std::ostream& err) {
  ConsoleScheduling console(out, err);
  Scheduler scheduler(schedule.tasks, console.ports(), console);
  scheduler.setSchedule(scheduleIdentity(file));
  const auto started = scheduler.runNow(index);
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
