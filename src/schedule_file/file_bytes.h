#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "schedule_file/file_error.h"
#include "schedule_file/file_storage.h"

namespace kiv {

// FileStorage::readFile with the standard streams, for systems where opening
// a file never waits (Windows): the path is looked at first, so a folder, a
// pipe or a device is refused before it is opened.
FileResult<std::vector<std::uint8_t>> readFileBytes(const std::filesystem::path& path,
                                                    std::size_t limit);

// Saves `bytes` to `target` through `storage`, once the target has been
// checked, so that a save that cannot succeed writes nothing at all. A link
// is followed to the file it names and stays a link; a link that names no
// file yet creates that file, as writing through it from a shell does. A
// folder fails as "Is a directory", a pipe or a device as kNotARegularFile,
// and a file marked read-only (no write permission for anyone) as the system
// refuses a write to it.
Result<void, FileError> writeFileSafely(const std::filesystem::path& target,
                                        std::span<const std::uint8_t> bytes, FileStorage& storage);

}  // namespace kiv
