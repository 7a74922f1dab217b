#pragma once

#include <filesystem>

namespace kiv::posix {

// Forces a closed file's data to the disk; false when that failed. A schedule
// replaces its old file only after this succeeded.
bool syncFileToDisk(const std::filesystem::path& file);

}  // namespace kiv::posix
