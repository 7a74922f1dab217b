#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// The core's texts are UTF-8; the Win32 "A" calls take and give texts in the
// system's ANSI code page. Every text crosses that boundary through these.

// For texts that are only shown: a character the code page lacks is shown
// as the code page's default character.
std::string toAnsi(std::string_view utf8);

// For texts that must arrive as they are (a command line to start): nothing
// when a character has no form in the code page, never a silent '?'.
std::optional<std::string> toAnsiExactly(std::string_view utf8);

std::string fromAnsi(std::string_view ansi);

}  // namespace kiv
