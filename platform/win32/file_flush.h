#pragma once

#include <filesystem>

namespace kiv {

// Forces a closed file's data to the disk (FlushFileBuffers); false when
// the file cannot be opened or the flush fails.
bool flushFileToDisk(const std::filesystem::path& file);

}  // namespace kiv
