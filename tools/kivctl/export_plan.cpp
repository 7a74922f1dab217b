#include "export_plan.h"

#include <utility>

#include "compile/command_line.h"
#include "compile/windows_command_line.h"
#include "exit_status.h"
#include "next_command.h"
#include "scheduler/launch_time.h"
#include "scheduler/task_launches.h"

namespace kiv::ctl {

std::string taskDescription(int taskIndex, std::string_view taskName,
                            std::string_view scheduleName) {
  std::string description = "Kiv task " + std::to_string(taskIndex + 1);
  if (!taskName.empty()) description += " \"" + std::string(taskName) + "\"";
  return description + " (" + std::string(scheduleName) + ")";
}

bool catchesUp(const Task& task) {
  return task.Options.catchUp.has_value() && !isRecurring(task.LaunchAt);
}

void reportUnguardedMaintenance(const std::vector<int>& taskIndices, std::ostream& err) {
  if (taskIndices.empty()) return;
  std::string tasks = taskIndices.size() == 1 ? "task " : "tasks ";
  for (std::size_t i = 0; i < taskIndices.size(); ++i) {
    if (i > 0) tasks += ", ";
    tasks += std::to_string(taskIndices[i] + 1);
  }
  reportError(err, "the exported files start the compact, repair or decompile of " + tasks +
                       " without the guard Kiv keeps: nothing waits while somebody has the "
                       "database open, no copy of it is kept and nothing puts it back when the "
                       "run damages it");
}

void reportDifferences(int taskIndex, const std::vector<std::string>& differences,
                       std::ostream& err) {
  if (differences.empty()) return;
  std::string line = "task " + std::to_string(taskIndex + 1) + ": " + differences.front();
  for (std::size_t i = 1; i < differences.size(); ++i) line += "; " + differences[i];
  reportError(err, line);
}

Result<ExportPlan, std::string> exportPlanFor(const Task& task, int index,
                                              std::string_view scheduleName) {
  auto seconds = launchSecondsOfDay(task);
  if (!seconds) return taskLabel(index, task) + " never launches: " + seconds.error();
  // The line the tick composes when it shows the task.
  std::string commandLine = composeCommandLine(compileInputsFor(task));
  WindowsStart start = windowsStartOf(commandLine);
  return ExportPlan{index,
                    taskDescription(index, task.TaskName, scheduleName),
                    std::move(commandLine),
                    std::move(start.program),
                    std::move(start.arguments),
                    calendarDays(task.DaysToRunOn),
                    std::move(seconds).value(),
                    task.Options.timeLimit,
                    catchesUp(task),
                    !task.Password.empty()};
}

std::vector<ExportPlan> exportPlansOf(const TaskTable& tasks, std::string_view scheduleName,
                                      std::ostream& err) {
  std::vector<ExportPlan> plans;
  for (int index = 0; index < kTaskCount; ++index) {
    const Task& task = tasks.at(index);
    if (task.Compiled != 1) continue;
    auto plan = exportPlanFor(task, index, scheduleName);
    if (plan) {
      plans.push_back(std::move(plan).value());
    } else {
      reportError(err, plan.error());
    }
  }
  return plans;
}

}  // namespace kiv::ctl
