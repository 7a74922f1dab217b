#include "file_sync.h"

#include <fcntl.h>
#include <unistd.h>

namespace kiv::ctl {

bool syncFileToDisk(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

}  // namespace kiv::ctl
