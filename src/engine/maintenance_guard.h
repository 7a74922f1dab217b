#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/local_time.h"
#include "base/result.h"
#include "shell/database_files.h"
#include "shell/launch_journal.h"
#include "tasks/task.h"

namespace kiv {

// Compact, repair and decompile rewrite the database, and a repair may drop
// what it cannot read: they start only on a database nobody has open, with
// room for the program's work, after a copy is kept; and a database the run
// left missing or damaged is put back from that copy.
bool isMaintenance(const Task& task);

// The lock file the database program keeps beside `database` while anybody
// has it open: Orders.ldb beside Orders.mdb, Orders.laccdb beside
// Orders.accdb.
std::string lockFileOf(const std::string& database);

// Why `database` may not be maintained now: who has it open, as its lock
// file names them. None when nobody holds its lock file.
std::optional<std::string> databaseInUse(DatabaseFiles& files, const std::string& database);

// What was found and done before a maintenance run started.
struct MaintenanceRun {
  std::string database;
  std::uint64_t size = 0;
  std::string copy;  // the copy kept of the database; empty when none was
  // The names beside the database, to tell what the run left there.
  std::vector<std::string> namesBeside;
};

// Checks that the task's database is a regular file this user may replace
// with room on its volume for the program's second copy, copies it into the
// task's backup folder as due at `due` and removes the copies beyond the
// number the task keeps. The error is why the run may not start.
Result<MaintenanceRun, std::string> prepareMaintenance(DatabaseFiles& files, const Task& task,
                                                       LocalTime due);

// What would stop a compact, repair or decompile of the task's database
// now, as far as the file system tells without anything being made or
// copied: a database that is not there or may not be replaced, or too
// little free space. None when nothing would.
std::optional<std::string> maintenanceWarning(DatabaseFiles& files, const Task& task);

// The newest copy kept of the task's database, if any.
std::optional<std::string> newestCopyOf(DatabaseFiles& files, const Task& task);

// What the check after a maintenance run found.
struct MaintenanceCheck {
  std::string found;         // for the journal's ended record
  std::string restoredFrom;  // the copy put back in place of the database; empty when none was
  std::string problem;       // for the user; empty when the database is as it should be
};

// Once the program has ended: the database must be there, a regular file,
// not empty, and after a failed run no smaller than a tenth of its copy;
// otherwise the copy is put back. A lock file or a new database file left
// beside it is named.
MaintenanceCheck checkAfterMaintenance(DatabaseFiles& files, const MaintenanceRun& run,
                                       const ProgramOutcome& outcome);

// "512 bytes", "1.5 KB", "200.0 MB", "3.2 GB" (units of 1024).
std::string byteSizeText(std::uint64_t bytes);

}  // namespace kiv
