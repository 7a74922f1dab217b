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

// What would stop a compiled compact, repair or decompile now, one line
// each, "task 3: warning: ...": its database not there or not replaceable by
// this user, or too little free space for the program's work and the copy.
std::vector<std::string> maintenanceWarnings(const TaskTable& tasks);

// "kivctl check": each problem and warning on `out` after the file's name;
// the exit status is a failure when there is any problem. Warnings tell of
// the databases as they are now and leave the status alone.
int checkCommand(const std::string& file, std::ostream& out, std::ostream& err);

}  // namespace kiv::ctl
