#include "posix/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <system_error>

#include "posix/unique_fd.h"

namespace kiv::posix {
namespace {

FileError systemFailure() {
  return readFailure({errno, std::generic_category()});
}

Result<void, FileError> refuseUnlessRegular(const struct stat& status) {
  if (S_ISDIR(status.st_mode)) return readFailure(std::make_error_code(std::errc::is_a_directory));
  if (!S_ISREG(status.st_mode)) return notARegularFile();
  return {};
}

}  // namespace

FileResult<std::vector<std::uint8_t>> readRegularFile(const std::filesystem::path& path,
                                                      std::size_t limit) {
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0) return systemFailure();
  if (auto regular = refuseUnlessRegular(named); !regular) return regular.error();
  const UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat opened {};
  if (!file || ::fstat(file.get(), &opened) != 0) return systemFailure();
  if (auto regular = refuseUnlessRegular(opened); !regular) return regular.error();

  std::vector<std::uint8_t> bytes;
  std::array<std::uint8_t, 8192> chunk{};
  while (bytes.size() < limit) {
    const ssize_t got =
        ::read(file.get(), chunk.data(), std::min(chunk.size(), limit - bytes.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return systemFailure();
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
  }
  return bytes;
}

}  // namespace kiv::posix
