#include "base/text_characters.h"

#include <algorithm>
#include <array>

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

void appendUtf8(std::string& out, char32_t character) {
  // The lead byte of a sequence of n bytes begins with n one-bits; each
  // continuing byte carries six bits of the character under 10xxxxxx.
  constexpr std::array<char32_t, 4> kLeadMarkers{0x00, 0xC0, 0xE0, 0xF0};
  std::size_t continuing = 0;
  if (character >= 0x80) ++continuing;
  if (character >= 0x800) ++continuing;
  if (character >= 0x10000) ++continuing;
  out += static_cast<char>(kLeadMarkers[continuing] | (character >> (6 * continuing)));
  while (continuing-- > 0) {
    out += static_cast<char>(0x80U | ((character >> (6 * continuing)) & 0x3FU));
  }
}

}  // namespace kiv
