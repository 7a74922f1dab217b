#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "schedule_file/schedule_layout.h"
#include "tasks/task.h"

namespace kiv::testing {

// Writes `tasks` with the program's own writer; fails the test when it cannot.
void writeSchedule(const std::filesystem::path& file, const TaskTable& tasks);

// A file of an old layout cut from the writer's bytes for `tasks`: the first
// 20 tasks' slots, without each task's TaskName slot for FormatA.
std::vector<std::uint8_t> oldLayoutFile(const TaskTable& tasks, ScheduleLayout layout);

// Tasks that differ in every stored field: names and paths with characters
// beyond ASCII, passwords, every version, action and day pattern, grey check
// boxes, compiled tasks that pass compilation and some that do not, tasks
// with options and without.
TaskTable variedTasks();

}  // namespace kiv::testing
