#include "posix/verified_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

#include "base/content_checksum.h"
#include "posix/file_replacement.h"
#include "posix/unique_fd.h"

namespace kiv::posix {
namespace {

// Large pieces keep the system calls few: the copy runs near the disk's speed.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

FileError systemFailure() {
  return writeFailure({errno, std::generic_category()});
}

FileError changedMeanwhile() {
  return {file_error::kWriteFailed, "the file changed while it was copied"};
}

// Reads `fd` from its current offset to its end, piece by piece, handing
// each piece to `use`; the number of bytes read.
template <typename Use>
FileResult<std::uint64_t> readToEnd(int fd, std::vector<std::uint8_t>& piece, Use use) {
  std::uint64_t total = 0;
  for (;;) {
    const ssize_t got = ::read(fd, piece.data(), piece.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return readFailure({errno, std::generic_category()});
    if (got == 0) return total;
    const auto bytes = std::span<const std::uint8_t>(piece).first(static_cast<std::size_t>(got));
    if (auto used = use(bytes); !used) return used.error();
    total += bytes.size();
  }
}

struct CopiedBytes {
  std::uint64_t length = 0;
  std::uint64_t checksum = 0;
};

// Writes what `source` holds to `copy` and sums it on the way.
FileResult<CopiedBytes> copyBytes(int source, int copy, std::vector<std::uint8_t>& piece) {
  ContentChecksum checksum;
  const auto length = readToEnd(source, piece, [&](std::span<const std::uint8_t> bytes) {
    checksum.add(bytes);
    return writeAll(copy, bytes);
  });
  if (!length) return length.error();
  return CopiedBytes{length.value(), checksum.value()};
}

// What the new file holds, read back from its start.
FileResult<CopiedBytes> readBack(int copy, std::vector<std::uint8_t>& piece) {
  if (::lseek(copy, 0, SEEK_SET) != 0) return systemFailure();
  ContentChecksum checksum;
  const auto length = readToEnd(copy, piece, [&](std::span<const std::uint8_t> bytes) {
    checksum.add(bytes);
    return Result<void, FileError>{};
  });
  if (!length) return length.error();
  return CopiedBytes{length.value(), checksum.value()};
}

}  // namespace

Result<void, FileError> copyFileVerified(const std::filesystem::path& from,
                                         const std::filesystem::path& to) {
  const UniqueFd source(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  struct stat before {};
  if (!source || ::fstat(source.get(), &before) != 0) {
    return readFailure({errno, std::generic_category()});
  }
  if (!S_ISREG(before.st_mode)) return notARegularFile();
  ::posix_fadvise(source.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  std::vector<std::uint8_t> piece(kPieceSize);
  return replaceFileWith(to, &before, [&](int copy) -> Result<void, FileError> {
    const FileResult<CopiedBytes> written = copyBytes(source.get(), copy, piece);
    if (!written) return written.error();
    struct stat after {};
    if (::fstat(source.get(), &after) != 0) return systemFailure();
    if (written.value().length != static_cast<std::uint64_t>(after.st_size) ||
        after.st_size != before.st_size) {
      return changedMeanwhile();
    }
    const FileResult<CopiedBytes> copied = readBack(copy, piece);
    if (!copied) return copied.error();
    if (copied.value().length != written.value().length ||
        copied.value().checksum != written.value().checksum) {
      return FileError{file_error::kWriteFailed, "the copy read back differs from the original"};
    }
    return {};
  });
}

}  // namespace kiv::posix
