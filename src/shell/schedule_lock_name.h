#pragma once

#include <string>
#include <string_view>

namespace kiv {

// The name of a schedule's lock, the same in every Kiv program of a system:
// "schedule-" and 16 hexadecimal digits derived from the text that identifies
// the schedule file (its canonical path on Windows; its device and inode on
// POSIX), so an identity of any length makes a short name.
std::string scheduleLockName(std::string_view identity);

}  // namespace kiv
