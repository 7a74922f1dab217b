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
};

// The schedule in `file`, or nullopt after one line on `err` naming the file,
// the failure's number and its description.
std::optional<Schedule> loadSchedule(const std::string& file, std::ostream& err);

// "current", "formatA" or "formatB".
std::string_view layoutName(ScheduleLayout layout);

}  // namespace kiv::ctl
