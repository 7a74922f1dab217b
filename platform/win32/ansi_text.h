#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// The schedule file holds its texts in the system's ANSI code page; the
// core's texts are UTF-8. The window never uses the code page: only the
// schedule file's texts cross it, through these.

// Nothing when a character has no form in the code page, never a silent '?'.
std::optional<std::string> toAnsiExactly(std::string_view utf8);

std::string fromAnsi(std::string_view ansi);

}  // namespace kiv
