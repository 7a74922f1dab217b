#include "base/text_characters.h"

#include <algorithm>
#include <array>

namespace kiv {

std::string asciiLowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}
namespace {

// Bytes 10xxxxxx continue a character begun by an earlier byte.
bool continues(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0U) == 0x80U;
}

struct SequenceShape {
  unsigned char leadMask;  // bits of the lead byte that carry the character
  std::size_t length;
  char32_t smallest;  // below this the sequence is an overlong form
};

std::optional<SequenceShape> shapeOfLead(unsigned char lead) {
  if (lead < 0x80) return SequenceShape{0x7F, 1, 0};
  if ((lead & 0xE0) == 0xC0) return SequenceShape{0x1F, 2, 0x80};
  if ((lead & 0xF0) == 0xE0) return SequenceShape{0x0F, 3, 0x800};
  if ((lead & 0xF8) == 0xF0) return SequenceShape{0x07, 4, 0x10000};
  return std::nullopt;
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

std::optional<Utf8Sequence> utf8SequenceAt(std::string_view text, std::size_t at) {
  if (at >= text.size()) return std::nullopt;
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::optional<SequenceShape> shape = shapeOfLead(lead);
  if (!shape || text.size() - at < shape->length) return std::nullopt;
  char32_t character = lead & shape->leadMask;
  for (std::size_t i = 1; i < shape->length; ++i) {
    const char next = text[at + i];
    if (!continues(next)) return std::nullopt;
    character = (character << 6) | (static_cast<unsigned char>(next) & 0x3FU);
  }
  if (character < shape->smallest || character > 0x10FFFF) return std::nullopt;
  return Utf8Sequence{character, shape->length};
}

}  // namespace kiv
