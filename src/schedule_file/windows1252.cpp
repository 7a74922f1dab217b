#include "schedule_file/windows1252.h"

#include <algorithm>
#include <array>
#include <optional>

#include "base/hex_digits.h"
#include "base/text_characters.h"

namespace kiv {
namespace {

// The characters of the bytes 0x80 to 0x9F; every other byte is the character
// of the same number. The undefined bytes map to themselves (see the header).
constexpr std::array<char32_t, 32> kHighControlRow{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
constexpr char32_t kRowStart = 0x80;
constexpr char32_t kRowEnd = 0xA0;

char32_t characterOfByte(unsigned char byte) {
  if (byte >= kRowStart && byte < kRowEnd) return kHighControlRow[byte - kRowStart];
  return byte;
}

std::optional<unsigned char> byteOfCharacter(char32_t character) {
  if (character < kRowStart || (character >= kRowEnd && character <= 0xFF)) {
    return static_cast<unsigned char>(character);
  }
  const auto* found = std::find(kHighControlRow.begin(), kHighControlRow.end(), character);
  if (found == kHighControlRow.end()) return std::nullopt;
  return static_cast<unsigned char>(kRowStart + (found - kHighControlRow.begin()));
}

// "U+0142": the code as Unicode charts write it, at least four hex digits.
std::string unicodeName(char32_t character) {
  return "U+" + hexDigits(character, 4);
}

// The well-formed UTF-8 character at `at`: a surrogate code point is no
// character and has no form in any code page.
std::optional<Utf8Sequence> wellFormedCharacterAt(std::string_view text, std::size_t at) {
  std::optional<Utf8Sequence> sequence = utf8SequenceAt(text, at);
  const bool surrogate = sequence && sequence->character >= 0xD800 && sequence->character <= 0xDFFF;
  return surrogate ? std::nullopt : sequence;
}

}  // namespace

Result<std::string, EncodeFailure> toWindows1252(std::string_view utf8) {
  std::string bytes;
  bytes.reserve(utf8.size());
  std::size_t characterPosition = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    ++characterPosition;
    const std::optional<Utf8Sequence> decoded = wellFormedCharacterAt(utf8, at);
    if (!decoded) return EncodeFailure{EncodeFailure::Reason::InvalidUtf8, at + 1, 0};
    const std::optional<unsigned char> byte = byteOfCharacter(decoded->character);
    if (!byte) {
      return EncodeFailure{EncodeFailure::Reason::NoCodePageForm, characterPosition,
                           decoded->character};
    }
    bytes += static_cast<char>(*byte);
    at += decoded->length;
  }
  return bytes;
}

std::string describeEncodeFailure(const EncodeFailure& failure, std::string_view codePageName) {
  if (failure.reason == EncodeFailure::Reason::InvalidUtf8) {
    return "the text is not valid UTF-8 at byte " + std::to_string(failure.position) + ".";
  }
  std::string shown;
  appendUtf8(shown, failure.character);
  return "the character \"" + shown + "\" (" + unicodeName(failure.character) + ") at position " +
         std::to_string(failure.position) + " has no form in the " + std::string(codePageName) +
         " code page.";
}

std::string fromWindows1252(std::string_view bytes) {
  std::string utf8;
  utf8.reserve(bytes.size());
  for (const char byte : bytes) appendUtf8(utf8, characterOfByte(static_cast<unsigned char>(byte)));
  return utf8;
}

namespace {

class Windows1252 final : public CodePage {
 public:
  Result<std::string, EncodeFailure> encode(std::string_view utf8) const override {
    return toWindows1252(utf8);
  }
  std::string decode(std::string_view bytes) const override { return fromWindows1252(bytes); }
  std::string name() const override { return "Windows-1252"; }
};

}  // namespace

const CodePage& windows1252CodePage() {
  static const Windows1252 codePage;
  return codePage;
}

}  // namespace kiv
