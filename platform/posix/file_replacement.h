#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>

#include "schedule_file/file_error.h"

namespace kiv::posix {

// FileStorage::replaceFile on POSIX. The bytes go to a new file in the
// target's folder that only its owner may open from the first moment (and
// has no name at all where the file system allows), the file takes over the
// target's mode and group through its descriptor, is forced to the disk,
// renamed over the target, and the folder is forced to the disk after the
// rename. Orphans of earlier saves of the same target are removed first.
Result<void, FileError> replaceFileWhole(const std::filesystem::path& target,
                                         std::span<const std::uint8_t> bytes);

// What writes the new file's bytes to its open descriptor, and may read
// them back before the file takes its name.
using FileFiller = std::function<Result<void, FileError>(int fd)>;

// The same, with the bytes written by `fill`. A new file (no file has the
// name `target` yet) takes the permissions and group of `modelForNew` where
// one is given, as a copy takes its original's; else it is owner-only.
Result<void, FileError> replaceFileWith(const std::filesystem::path& target,
                                        const struct stat* modelForNew, const FileFiller& fill);

// Writes all of `bytes` to `fd`.
Result<void, FileError> writeAll(int fd, std::span<const std::uint8_t> bytes);

}  // namespace kiv::posix
