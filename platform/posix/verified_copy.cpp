#include "posix/verified_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "base/content_checksum.h"
#include "posix/file_replacement.h"
#include "posix/unique_fd.h"

namespace kiv::posix {
namespace {

// Large pieces keep the system calls few: the copy runs near the disk's speed.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;
// Every stretch of this many bytes written is handed to the disk at once and
// read back: the disk writes while the copy goes on, so the flush before the
// copy takes its name has little left to do, and the bytes read back are
// still in memory.
constexpr std::uint64_t kStretchSize = std::uint64_t{16} << 20;

FileError systemFailure() {
  return writeFailure({errno, std::generic_category()});
}

FileError changedMeanwhile() {
  return {file_error::kWriteFailed, "the file changed while it was copied"};
}

struct CopiedBytes {
  std::uint64_t length = 0;
  std::uint64_t checksum = 0;
};

// The new file, written from its start, handed to the disk and read back
// stretch by stretch behind the writing.
class CopyWriter {
 public:
  explicit CopyWriter(int fd) : fd_(fd) {}

  Result<void, FileError> write(std::span<const std::uint8_t> bytes) {
    if (auto written = writeAll(fd_, bytes); !written) return written;
    writtenLength_ += bytes.size();
    if (writtenLength_ - checkedLength_ < kStretchSize) return {};
    return checkWritten();
  }

  // Hands what is still in memory only to the disk and reads back the rest.
  FileResult<CopiedBytes> finish() {
    if (auto checked = checkWritten(); !checked) return checked.error();
    return CopiedBytes{checkedLength_, readBack_.value()};
  }

 private:
  Result<void, FileError> checkWritten() {
#ifdef SYNC_FILE_RANGE_WRITE
    // Only a head start: the flush before the rename is what makes it durable.
    ::sync_file_range(fd_, static_cast<off_t>(checkedLength_),
                      static_cast<off_t>(writtenLength_ - checkedLength_), SYNC_FILE_RANGE_WRITE);
#endif
    while (checkedLength_ < writtenLength_) {
      const std::size_t wanted =
          std::min<std::uint64_t>(readBackPiece_.size(), writtenLength_ - checkedLength_);
      const ssize_t got =
          ::pread(fd_, readBackPiece_.data(), wanted, static_cast<off_t>(checkedLength_));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return readFailure({errno, std::generic_category()});
      if (got == 0) return FileError{file_error::kWriteFailed, "the copy is shorter than written"};
      readBack_.add(
          std::span<const std::uint8_t>(readBackPiece_).first(static_cast<std::size_t>(got)));
      checkedLength_ += static_cast<std::uint64_t>(got);
    }
    return {};
  }

  int fd_;
  std::vector<std::uint8_t> readBackPiece_ = std::vector<std::uint8_t>(kPieceSize);
  std::uint64_t writtenLength_ = 0;
  std::uint64_t checkedLength_ = 0;
  ContentChecksum readBack_;
};

// Reads `source` from its current offset to its end, summing what it reads,
// and writes it to `copy`; what was read, and what the copy holds read back.
Result<std::pair<CopiedBytes, CopiedBytes>, FileError> copyBytes(int source, int copy) {
  std::vector<std::uint8_t> piece(kPieceSize);
  CopyWriter writer(copy);
  ContentChecksum checksum;
  std::uint64_t length = 0;
  for (;;) {
    const ssize_t got = ::read(source, piece.data(), piece.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return readFailure({errno, std::generic_category()});
    if (got == 0) break;
    const auto bytes = std::span<const std::uint8_t>(piece).first(static_cast<std::size_t>(got));
    checksum.add(bytes);
    if (auto written = writer.write(bytes); !written) return written.error();
    length += bytes.size();
  }
  FileResult<CopiedBytes> copied = writer.finish();
  if (!copied) return copied.error();
  return std::pair{CopiedBytes{length, checksum.value()}, copied.value()};
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
  return replaceFileWith(to, &before, [&](int copy) -> Result<void, FileError> {
    const auto bytes = copyBytes(source.get(), copy);
    if (!bytes) return bytes.error();
    const auto& [read, copied] = bytes.value();
    struct stat after {};
    if (::fstat(source.get(), &after) != 0) return systemFailure();
    if (read.length != static_cast<std::uint64_t>(after.st_size) ||
        after.st_size != before.st_size) {
      return changedMeanwhile();
    }
    if (copied.length != read.length || copied.checksum != read.checksum) {
      return FileError{file_error::kWriteFailed, "the copy read back differs from the original"};
    }
    return {};
  });
}

}  // namespace kiv::posix
