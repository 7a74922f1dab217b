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

}  // namespace

std::wstring toWide(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    // Surrogate code points come through, so a lone one from a Windows text
    // survives the way back.
    const std::optional<Utf8Sequence> decoded = utf8SequenceAt(utf8, at);
    appendUtf16(wide, decoded ? decoded->character : kReplacement);
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
