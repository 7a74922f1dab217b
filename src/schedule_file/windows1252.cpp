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

struct Decoded {
  char32_t character;
  std::size_t length;
};

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

// The well-formed UTF-8 sequence at `at`: the shortest form, no surrogates,
// nothing above U+10FFFF. Anything else is nullopt, so no malformed input can
// pass through as some other character.
std::optional<Decoded> decodeUtf8At(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::optional<SequenceShape> shape = shapeOfLead(lead);
  if (!shape || at + shape->length > text.size()) return std::nullopt;
  char32_t character = lead & shape->leadMask;
  for (std::size_t i = 1; i < shape->length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    character = (character << 6) | (next & 0x3F);
  }
  const bool surrogate = character >= 0xD800 && character <= 0xDFFF;
  if (character < shape->smallest || surrogate || character > 0x10FFFF) return std::nullopt;
  return Decoded{character, shape->length};
}

}  // namespace

Result<std::string, EncodeFailure> toWindows1252(std::string_view utf8) {
  std::string bytes;
  bytes.reserve(utf8.size());
  std::size_t characterPosition = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    ++characterPosition;
    const std::optional<Decoded> decoded = decodeUtf8At(utf8, at);
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
