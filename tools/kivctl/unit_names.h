#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kiv::ctl {

// The longest prefix that leaves room for "-task30.service" in the 255
// characters systemd allows a unit name.
inline constexpr std::size_t kLongestUnitPrefix = 240;

// Why `prefix` cannot begin the names of the units: it may hold only ASCII
// letters, digits, "_", "." and "-" (names that need no quoting in a shell),
// must begin with a letter, a digit or "_" (systemd skips hidden files, and
// systemctl would read a leading "-" as an option) and be at most
// kLongestUnitPrefix long. nullopt when it can.
std::optional<std::string> unitPrefixProblem(std::string_view prefix);

// "kiv-" and the schedule file's name without its extension, with "_" for
// each character that unitPrefixProblem would refuse.
std::string defaultUnitPrefix(const std::filesystem::path& scheduleFile);

// "kiv-nightly-task3": the units of the task at `taskIndex` without the
// ".service" or ".timer" that ends their names.
std::string unitStem(std::string_view prefix, int taskIndex);

}  // namespace kiv::ctl
