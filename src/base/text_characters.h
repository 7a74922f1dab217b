#pragma once

#include <cstddef>
#include <string_view>

namespace kiv {

// Launch times and tips count characters, while the core holds its texts in
// UTF-8: these count and cut by character, never inside one.

std::size_t characterCount(std::string_view text);

// The first `count` characters, or the whole text when it is shorter.
std::string_view leadingCharacters(std::string_view text, std::size_t count);

// The character at 0-based `index`; empty past the end.
std::string_view characterAt(std::string_view text, std::size_t index);

// The last character; empty for an empty text.
std::string_view lastCharacter(std::string_view text);

}  // namespace kiv
