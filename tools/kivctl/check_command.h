#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tasks/task.h"

namespace kiv::ctl {

// The problems of the compiled tasks, one line each, "task 3: ...": the first
// failure compiling the task meets, the launch-time check's refusal, and a
// launch time the check lets through that is never due.
std::vector<std::string> scheduleProblems(const TaskTable& tasks);

// "kivctl check": each problem on `out` after the file's name; the exit
// status is a failure when there is any.
int checkCommand(const std::string& file, std::ostream& out, std::ostream& err);

}  // namespace kiv::ctl
