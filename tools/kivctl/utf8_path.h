#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kiv::ctl {

// The path a UTF-8 text names: kivctl's operands are UTF-8 on every system,
// and a path made from a narrow text on Windows would read it in the ANSI
// code page instead.
std::filesystem::path pathFromUtf8(std::string_view text);

// The path as UTF-8, for messages and output.
std::string utf8Text(const std::filesystem::path& path);

}  // namespace kiv::ctl
