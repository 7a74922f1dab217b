#include "posix/verified_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
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

// Reads the new file back from its start, stretch by stretch behind the
// writing, on a thread of its own: on a machine with a second processor the
// reading back and summing cost the copy no time.
class ReadBack {
 public:
  explicit ReadBack(int fd) : fd_(fd), thread_([this] { result_ = readBehindTheWriting(); }) {}
  ~ReadBack() { static_cast<void>(finish()); }
  ReadBack(const ReadBack&) = delete;
  ReadBack& operator=(const ReadBack&) = delete;

  // The first `length` bytes of the file are written.
  void written(std::uint64_t length) {
    {
      const std::lock_guard lock(mutex_);
      written_ = length;
    }
    changed_.notify_one();
  }

  // Nothing more will be written: what the file holds, once all of it is
  // read back.
  FileResult<CopiedBytes> finish() {
    {
      const std::lock_guard lock(mutex_);
      finished_ = true;
    }
    changed_.notify_one();
    if (thread_.joinable()) thread_.join();
    return result_;
  }

 private:
  FileResult<CopiedBytes> readBehindTheWriting() {
    std::vector<std::uint8_t> piece(kPieceSize);
    ContentChecksum checksum;
    std::uint64_t checked = 0;
    for (;;) {
      std::uint64_t written = 0;
      bool finished = false;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return finished_ || written_ - checked >= kStretchSize; });
        written = written_;
        finished = finished_;
      }
#ifdef SYNC_FILE_RANGE_WRITE
      // Only a head start: the flush before the rename is what makes it
      // durable.
      ::sync_file_range(fd_, static_cast<off_t>(checked), static_cast<off_t>(written - checked),
                        SYNC_FILE_RANGE_WRITE);
#endif
      while (checked < written) {
        const std::size_t wanted = std::min<std::uint64_t>(piece.size(), written - checked);
        const ssize_t got = ::pread(fd_, piece.data(), wanted, static_cast<off_t>(checked));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return readFailure({errno, std::generic_category()});
        if (got == 0)
          return FileError{file_error::kWriteFailed, "the copy is shorter than written"};
        checksum.add(std::span<const std::uint8_t>(piece).first(static_cast<std::size_t>(got)));
        checked += static_cast<std::uint64_t>(got);
      }
      if (finished) return CopiedBytes{checked, checksum.value()};
    }
  }

  int fd_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t written_ = 0;
  bool finished_ = false;
  FileResult<CopiedBytes> result_ = CopiedBytes{};
  std::thread thread_;  // last: it starts once the rest is ready
};

// Reads `source` from its current offset to its end, summing what it reads,
// and writes it to `copy`; what was read, and what the copy holds read back.
Result<std::pair<CopiedBytes, CopiedBytes>, FileError> copyBytes(int source, int copy) {
  std::vector<std::uint8_t> piece(kPieceSize);
  ReadBack readBack(copy);
  ContentChecksum checksum;
  std::uint64_t length = 0;
  for (;;) {
    const ssize_t got = ::read(source, piece.data(), piece.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return readFailure({errno, std::generic_category()});
    if (got == 0) break;
    const auto bytes = std::span<const std::uint8_t>(piece).first(static_cast<std::size_t>(got));
    checksum.add(bytes);
    if (auto written = writeAll(copy, bytes); !written) return written.error();
    length += bytes.size();
    readBack.written(length);
  }
  FileResult<CopiedBytes> copied = readBack.finish();
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
