#pragma once

#include <string>
#include <string_view>

namespace kiv {

// The name of a schedule's lock, the same in every Kiv program of a system:
// "schedule-" and 16 hexadecimal digits derived from the schedule file's
// full, canonical path, so a name of any length makes a short one.
std::string scheduleLockName(std::string_view canonicalPath);

}  // namespace kiv
