#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "schedule_file/schedule_layout.h"
#include "tasks/task.h"

namespace kiv::ctl {

// A schedule file as a whole table: an old 20-task layout fills tasks 1 to
// 20 and leaves 21 to 30 at their defaults, as opening it in a fresh window
// does.
struct Schedule {
  ScheduleLayout layout = ScheduleLayout::Current;
  TaskTable tasks;
  // Why the file is no complete schedule, when its length is none of the
  // layouts': it reads as the current layout with what is missing empty, as
  // the window reads it, but it is likely a damaged or truncated copy.
  std::optional<std::string> incomplete;
};

// The schedule in `file`, or nullopt after one line on `err` naming the file,
// the failure's number and its description.
std::optional<Schedule> loadSchedule(const std::string& file, std::ostream& err);

// loadSchedule, with a line on `err` when the file is no complete schedule.
std::optional<Schedule> loadScheduleWarning(const std::string& file, std::ostream& err);

// Writes `tasks` to `file` in the current layout through the safe storage the
// window saves with; the exit status, after one line on `err` naming the
// file and the failure when it fails.
int saveSchedule(const std::string& file, const TaskTable& tasks, std::ostream& err);

// The schedule's identity as the journal names it: `file` as an absolute path,
// from the current folder when it is relative.
std::string scheduleIdentity(const std::string& file);

// "current", "formatA" or "formatB".
std::string_view layoutName(ScheduleLayout layout);

}  // namespace kiv::ctl
