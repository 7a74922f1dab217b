#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "schedule_file/file_error.h"

namespace kiv::posix {

// FileStorage::readFile on POSIX: the path is looked at before it is opened,
// so a device is never opened at all, and the file is opened without
// blocking and looked at again through its descriptor, so a pipe put in its
// place meanwhile cannot make the read wait for a writer.
FileResult<std::vector<std::uint8_t>> readRegularFile(const std::filesystem::path& path,
                                                      std::size_t limit);

}  // namespace kiv::posix
