#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// Launch times and tips count characters, while the core holds its texts in
// UTF-8: these count and cut by character, never inside one.

std::size_t characterCount(std::string_view text);

// The first `count` characters, or the whole text when it is shorter.
std::string_view leadingCharacters(std::string_view text, std::size_t count);

// The character at 0-based `index`; empty past the end.
std::string_view characterAt(std::string_view text, std::size_t index);

// The text with the letters A to Z in lower case and every other byte as it
// was.
std::string asciiLowerCase(std::string text);

// The last character; empty for an empty text.
std::string_view lastCharacter(std::string_view text);

// Appends `character` (at most U+10FFFF) to `out` in its UTF-8 form of one to
// four bytes. A surrogate code point is written like any other, so a lone
// surrogate from a Windows text survives the way back.
void appendUtf8(std::string& out, char32_t character);

struct Utf8Sequence {
  char32_t character;
  std::size_t length;  // in bytes
};

// The UTF-8 sequence that starts at byte `at`, when it is one in its shortest
// form and names at most U+10FFFF; nullopt for anything else, so no malformed
// input passes as some other character. Surrogate code points are decoded
// like any other: a codec that cannot store them refuses them itself.
std::optional<Utf8Sequence> utf8SequenceAt(std::string_view text, std::size_t at);

}  // namespace kiv
