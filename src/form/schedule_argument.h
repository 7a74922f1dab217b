#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// The schedule a command line names with "/o ", or nullopt when it has no
// such switch. The path is the rest of the line as it stands, but for one
// pair of double quotes around all of it, which a command prompt's users put
// around a path with blanks (no file name holds a double quote). A relative
// path is resolved against `folder`, the folder the command line was given
// in, so the name goes on meaning the same file once the current folder
// changes, as an accepted file dialog changes it. An empty path stays empty.
std::optional<std::string> scheduleNamedBy(std::string_view arguments, const std::string& folder);

// Only a regular file can be a schedule: a missing path or a folder is not.
bool isScheduleCandidate(const std::string& path);

}  // namespace kiv
