#pragma once

#include <filesystem>
#include <string>

#include "posix/file_lock.h"
#include "shell/schedule_locks.h"

namespace kiv::posix {

// The lock file of a schedule: one per schedule file, named after its device
// and inode (a file not made yet after its canonical path), in the schedule
// lock folder, so every name of one file (a link, a hard link, a relative
// path) shares it. Saving replaces the file, and with it its inode: the
// holder claims it again afterwards. Empty when there is no folder for it.
std::filesystem::path scheduleLockFile(const std::string& scheduleFile);

// The schedule lock this process holds, for Platform::claimSchedule.
class ScheduleLocks {
 public:
  // `program` names this process to others: "kiv" or "kivctl".
  explicit ScheduleLocks(std::string program) : program_(std::move(program)) {}

  ScheduleClaim claim(const std::string& scheduleFile);

 private:
  std::string program_;
  std::filesystem::path heldFile_;
  FileLock held_;
};

}  // namespace kiv::posix
