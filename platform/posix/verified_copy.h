#pragma once

#include <filesystem>

#include "schedule_file/file_error.h"

namespace kiv::posix {

// Copies the regular file `from` to `to` as a save replaces a schedule: the
// bytes go to a file nobody else may open, which is forced to the disk and
// takes the name `to` only after it has been read back and agrees with what
// was read of `from` in length and checksum, and `from` still has the length
// it had. A new `to` takes the permissions and group of `from`.
Result<void, FileError> copyFileVerified(const std::filesystem::path& from,
                                         const std::filesystem::path& to);

}  // namespace kiv::posix
