#include "posix/file_sync.h"

#include <fcntl.h>
#include <unistd.h>

namespace kiv::posix {

bool syncFileToDisk(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

}  // namespace kiv::posix
