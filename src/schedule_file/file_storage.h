#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "schedule_file/file_error.h"

namespace kiv {

// How schedule files come from and go to the disk. The standard library can
// neither open a file without waiting on a pipe, nor create one that no other
// user may open even for a moment, nor force a folder to the disk; so each
// front-end hands in its system's way. The core decides what is read and
// written and checks a save's target first (writeFileSafely).
class FileStorage {
 public:
  virtual ~FileStorage() = default;

  // At most `limit` bytes from the start of the regular file at `path`: a
  // schedule is read whole, and the limit keeps a huge file from filling the
  // memory. A folder fails as the system reports it; a pipe, a device or a
  // socket is kNotARegularFile, refused without waiting for a writer.
  // Failures keep the system's error number and text.
  virtual FileResult<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path,
                                                         std::size_t limit) = 0;

  // Replaces the file at `target` (a regular file or no file yet, never a
  // link) with `bytes`, whole or not at all, and returns success only once
  // the new file and its name are on the disk; kFlushFailed when the system
  // could not force them there. No other user can open the new bytes before
  // they are in place. The new file keeps the permissions of the file it
  // replaces (and its group where the system allows); a new file is readable
  // and writable by its owner only.
  virtual Result<void, FileError> replaceFile(const std::filesystem::path& target,
                                              std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace kiv
