#pragma once

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "scheduler/calendar_days.h"
#include "tasks/task.h"

namespace kiv::ctl {

// What every export target writes for one compiled task the tick would
// start, whatever the format: each writer turns it into its own files.
struct ExportPlan {
  int taskIndex = 0;
  std::string description;  // taskDescription
  // The composed command line as the Windows starter passes it, and how it
  // is split: the program started and the arguments the POSIX starter gives
  // it (the first of them the name the program is told).
  std::string commandLine;
  std::string program;
  std::vector<std::string> arguments;
  std::vector<CalendarDays> days;  // the days it launches on, as calendarDays gives them
  std::vector<std::chrono::seconds> secondsOfDay;  // when on those days, earliest first
  std::optional<std::chrono::minutes> timeLimit;   // none: no limit
  bool catchesUp = false;  // a launch missed while the machine was off is made up
  bool holdsPassword = false;
};

// "Kiv task 3 "Nightly compact" (nightly.kiv)", or without the quoted name
// for a task that has none. It never ends in a backslash, which would join
// the next line of a systemd unit to it.
std::string taskDescription(int taskIndex, std::string_view taskName,
                            std::string_view scheduleName);

// The scheduler makes up a missed fixed-time launch when the task has a
// catch-up window; a recurring one never.
bool catchesUp(const Task& task);

// Says on standard error, once for the export, which of the exported tasks
// the other scheduler starts as a compact, repair or decompile without the
// guard Kiv keeps around one; nothing when there are none.
void reportUnguardedMaintenance(const std::vector<int>& taskIndices, std::ostream& err);

// Names the task at `taskIndex` on standard error, once, with what its
// exported files do otherwise than Kiv's scheduler; nothing when they do
// all it does.
void reportDifferences(int taskIndex, const std::vector<std::string>& differences,
                       std::ostream& err);

// The plans of the compiled tasks of `tasks`, in task order; a task that
// never launches gets none and is named on standard error.
std::vector<ExportPlan> exportPlansOf(const TaskTable& tasks, std::string_view scheduleName,
                                      std::ostream& err);

// The plan of the compiled task at `index` of the schedule named
// `scheduleName`, or why it never launches (a line for standard error).
Result<ExportPlan, std::string> exportPlanFor(const Task& task, int index,
                                              std::string_view scheduleName);

}  // namespace kiv::ctl
