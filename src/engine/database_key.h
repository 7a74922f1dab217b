#pragma once

#include <string>

#include "tasks/task.h"

namespace kiv {

// What tells that two tasks work on one database: the database location as a
// normal path, "\" and "/" alike, with "." and ".." steps and doubled
// separators taken out; a Windows path (a drive letter, or a share's
// "\\server") also in lower case, as Windows compares names. A task without
// a database is keyed by its own number, so its launches only wait for its
// own program.
std::string databaseKey(const Task& task, int index);

}  // namespace kiv
