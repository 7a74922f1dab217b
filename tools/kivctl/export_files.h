#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace kiv::ctl {

// Makes `directory` when it is not there, and says on `err` when other users
// may write into it and so replace the `files` (as in "units") an export puts
// there. False, said on `err`, when it cannot be made.
bool prepareExportFolder(const std::filesystem::path& directory, std::string_view files,
                         std::ostream& err);

// Writes `bytes` as `file`, readable by its owner only and whole, the way
// Save writes a schedule: an exported file may hold a password as the
// command line does. Save writes through a link to the file it names; an
// export never does: a link planted at the `file` (as in "unit") name would
// have it replace a file outside the folder. The error names the file.
std::optional<std::string> writeExportFile(const std::filesystem::path& file,
                                           std::span<const std::uint8_t> bytes,
                                           std::string_view kind);

}  // namespace kiv::ctl
