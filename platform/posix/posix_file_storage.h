#pragma once

#include "posix/file_replacement.h"
#include "posix/regular_file.h"
#include "schedule_file/file_storage.h"

namespace kiv::posix {

// The FileStorage of the POSIX programs, the Qt program and kivctl.
class PosixFileStorage final : public FileStorage {
 public:
  FileResult<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path,
                                                 std::size_t limit) override {
    return readRegularFile(path, limit);
  }
  Result<void, FileError> replaceFile(const std::filesystem::path& target,
                                      std::span<const std::uint8_t> bytes) override {
    return replaceFileWhole(target, bytes);
  }
};

}  // namespace kiv::posix
