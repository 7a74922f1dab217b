#include "wide_text.h"

#include <optional>

#include "base/text_characters.h"

namespace kiv {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kFirstLowSurrogate = 0xDC00;
constexpr char32_t kLastSurrogate = 0xDFFF;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kLast = 0x10FFFF;

bool isHighSurrogate(char32_t unit) {
  return unit >= kFirstSurrogate && unit < kFirstLowSurrogate;
}
bool isLowSurrogate(char32_t unit) {
  return unit >= kFirstLowSurrogate && unit <= kLastSurrogate;
}

void appendUtf16(std::wstring& text, char32_t point) {
  if (point < kFirstSupplementary) {
    text += static_cast<wchar_t>(point);
    return;
  }
  const char32_t offset = point - kFirstSupplementary;
  text += static_cast<wchar_t>(kFirstSurrogate + (offset >> 10));
  text += static_cast<wchar_t>(kFirstLowSurrogate + (offset & 0x3FF));
}

struct Decoded {
  char32_t point;
  std::size_t length;
};

// One UTF-8 sequence at `at`, the surrogate code points among them; nothing
// for a byte that starts no well-formed sequence.
std::optional<Decoded> decodeAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  char32_t point = 0;
  char32_t smallest = 0;
  if (lead < 0x80) return Decoded{lead, 1};
  if ((lead & 0xE0) == 0xC0) {
    length = 2, point = lead & 0x1Fu, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, point = lead & 0x0Fu, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, point = lead & 0x07u, smallest = kFirstSupplementary;
  } else {
    return std::nullopt;
  }
  if (at + length > text.size()) return std::nullopt;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    point = (point << 6) | (next & 0x3Fu);
  }
  if (point < smallest || point > kLast) return std::nullopt;
  return Decoded{point, length};
}

}  // namespace

std::wstring toWide(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const std::optional<Decoded> decoded = decodeAt(utf8, at);
    appendUtf16(wide, decoded ? decoded->point : kReplacement);
    at += decoded ? decoded->length : 1;
  }
  return wide;
}

std::string fromWide(std::wstring_view utf16) {
  std::string utf8;
  utf8.reserve(utf16.size());
  for (std::size_t at = 0; at < utf16.size(); ++at) {
    const char32_t unit = static_cast<char16_t>(utf16[at]);
    const bool pair = isHighSurrogate(unit) && at + 1 < utf16.size() &&
                      isLowSurrogate(static_cast<char16_t>(utf16[at + 1]));
    if (!pair) {
      appendUtf8(utf8, unit);
      continue;
    }
    const char32_t low = static_cast<char16_t>(utf16[++at]);
    appendUtf8(utf8,
               kFirstSupplementary + ((unit - kFirstSurrogate) << 10) + (low - kFirstLowSurrogate));
  }
  return utf8;
}

}  // namespace kiv
