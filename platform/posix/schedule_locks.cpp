#include "posix/schedule_locks.h"

#include <sys/stat.h>

#include <string>
#include <utility>

#include "base/utf8_path.h"
#include "posix/user_folders.h"
#include "shell/schedule_lock_name.h"

namespace kiv::posix {
namespace {

std::string canonicalPath(const std::string& scheduleFile) {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::weakly_canonical(
      std::filesystem::absolute(pathFromUtf8(scheduleFile)), error);
  return (error ? pathFromUtf8(scheduleFile) : path).string();
}

// A file is known by its device and inode, whatever name leads to it (hard
// links, relative paths, paths too long to resolve); one not made yet by its
// canonical path.
std::string scheduleIdentity(const std::string& scheduleFile) {
  struct stat status {};
  if (::stat(pathFromUtf8(scheduleFile).c_str(), &status) != 0) {
    return "path:" + canonicalPath(scheduleFile);
  }
  return "file:" + std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

}  // namespace

std::filesystem::path scheduleLockFile(const std::string& scheduleFile) {
  const std::filesystem::path folder = scheduleLockFolder();
  if (folder.empty()) return {};
  return folder / (scheduleLockName(scheduleIdentity(scheduleFile)) + ".lock");
}

ScheduleClaim ScheduleLocks::claim(const std::string& scheduleFile) {
  if (scheduleFile.empty()) {
    held_ = FileLock();
    heldFile_.clear();
    return {};
  }
  const std::filesystem::path file = scheduleLockFile(scheduleFile);
  // A second lock of the same file would stand in this process's own way.
  if (held_.held() && file == heldFile_) return {};
  FileLock lock(file, program_);
  switch (lock.state()) {
    case FileLock::State::Held:
      held_ = std::move(lock);
      heldFile_ = file;
      return {};
    case FileLock::State::HeldByOther:
      return {ScheduleClaim::Kind::HeldByOther, lock.detail()};
    case FileLock::State::Failed:
      break;
  }
  // The caller goes on with the new schedule unlocked: the old one is not
  // scheduled here any more.
  held_ = FileLock();
  heldFile_.clear();
  return {ScheduleClaim::Kind::Unavailable, lock.detail()};
}

}  // namespace kiv::posix
