#include "base/text_characters.h"

#include <algorithm>

namespace kiv {
namespace {

// Bytes 10xxxxxx continue a character begun by an earlier byte.
bool continues(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0U) == 0x80U;
}

}  // namespace

std::size_t characterCount(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char byte) { return !continues(byte); }));
}

std::string_view leadingCharacters(std::string_view text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t kept = 0; end < text.size(); ++end) {
    if (continues(text[end])) continue;
    if (kept == count) break;
    ++kept;
  }
  return text.substr(0, end);
}

std::string_view characterAt(std::string_view text, std::size_t index) {
  const std::size_t start = leadingCharacters(text, index).size();
  return leadingCharacters(text.substr(start), 1);
}

std::string_view lastCharacter(std::string_view text) {
  std::size_t start = text.size();
  while (start > 0 && continues(text[--start])) {
  }
  return text.substr(start);
}

}  // namespace kiv
