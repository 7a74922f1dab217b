#pragma once

#include <filesystem>

namespace kiv {

// Forces the data of a written and closed file to the disk, so that a file
// that replaces another is complete even after a power cut; false when the
// file cannot be opened or the system refuses.
bool flushFileToDisk(const std::filesystem::path& file);

}  // namespace kiv
