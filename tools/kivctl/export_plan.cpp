#include "export_plan.h"

#include <utility>

#include "compile/command_line.h"
#include "compile/windows_command_line.h"
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

}  // namespace kiv::ctl
