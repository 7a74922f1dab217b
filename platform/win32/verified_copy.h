#pragma once

#include <filesystem>

#include "schedule_file/file_error.h"

namespace kiv {

// Copies the file `from` to `to` as a save replaces a schedule: the bytes go
// to a new file no other process may open, which is forced to the disk and
// moved over `to` only after it has been read back and agrees with what was
// read of `from` in length and checksum. `from` is open for reading only,
// shared with readers, so nobody can change it while it is copied.
Result<void, FileError> copyFileVerified(const std::filesystem::path& from,
                                         const std::filesystem::path& to);

}  // namespace kiv
