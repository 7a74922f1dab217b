#include "posix/orphan_sweep.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "posix/temporary_name.h"
#include "posix/unique_fd.h"

namespace kiv::posix {
namespace {

std::vector<std::string> temporaryNamesIn(int folder, std::string_view target) {
  std::vector<std::string> names;
  UniqueFd listing(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!listing) return names;
  DIR* entries = ::fdopendir(listing.get());
  if (entries == nullptr) return names;
  listing.release();  // closedir closes it
  while (const dirent* entry = ::readdir(entries)) {
    if (isTemporaryNameOf(entry->d_name, target)) names.emplace_back(entry->d_name);
  }
  ::closedir(entries);
  return names;
}

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void removeIfOrphaned(int folder, const std::string& name) {
  const UniqueFd file(
      ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat opened {};
  if (!file || ::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
      opened.st_uid != ::geteuid() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
    return;
  }
  // Removed only while the name still leads to the file whose lock is held.
  struct stat named {};
  if (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
      sameFile(opened, named)) {
    ::unlinkat(folder, name.c_str(), 0);
  }
}

}  // namespace

void removeOrphanedTemporaries(int folder, std::string_view target) {
  for (const std::string& name : temporaryNamesIn(folder, target)) removeIfOrphaned(folder, name);
}

}  // namespace kiv::posix
