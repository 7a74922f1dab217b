#include "posix/inherited_descriptors.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <vector>

namespace kiv::posix {
namespace {

void markCloseOnExec(int fd) {
  const int flags = ::fcntl(fd, F_GETFD);
  if (flags >= 0 && (flags & FD_CLOEXEC) == 0) ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
}

// The open descriptors from `first` up, or nothing when /proc/self/fd cannot
// be read. Listed before any is touched: the listing's own descriptor is
// among them while it is read.
bool listOpenDescriptors(int first, std::vector<int>& fds) {
  DIR* dir = ::opendir("/proc/self/fd");
  if (dir == nullptr) return false;
  const int own = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    int fd = -1;
    const char* name = entry->d_name;
    const auto [end, error] = std::from_chars(name, name + std::strlen(name), fd);
    if (error == std::errc() && *end == '\0' && fd >= first && fd != own) fds.push_back(fd);
  }
  ::closedir(dir);
  return true;
}

int descriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    return static_cast<int>(limit.rlim_cur);
  }
  const long open = ::sysconf(_SC_OPEN_MAX);
  return open > 0 ? static_cast<int>(open) : 1024;
}

}  // namespace

bool closeRangeAvailable() {
#ifdef SYS_close_range
  // A range above every possible descriptor closes nothing; a kernel without
  // the call, or a sandbox refusing it, answers with an error.
  return ::syscall(SYS_close_range, ~0U, ~0U, 0U) == 0;
#else
  return false;
#endif
}

void markCloseOnExecFrom(int first) {
  std::vector<int> fds;
  if (listOpenDescriptors(first, fds)) {
    for (const int fd : fds) markCloseOnExec(fd);
    return;
  }
  const int limit = descriptorLimit();
  for (int fd = first; fd < limit; ++fd) markCloseOnExec(fd);
}

}  // namespace kiv::posix
