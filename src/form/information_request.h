#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kiv {

// The text the window program prints instead of starting when its only
// argument asks for information: "--help" gives the usage, "--version" the
// version line. Every other command line starts the program (a "/o" one
// with that schedule, anything else untitled), so it gives nullopt.
// `arguments` excludes the program's own name.
std::optional<std::string> informationRequested(std::span<const std::string_view> arguments);

}  // namespace kiv
