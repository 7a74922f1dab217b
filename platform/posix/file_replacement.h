#pragma once

#include <cstdint>
#include <filesystem>
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

}  // namespace kiv::posix
