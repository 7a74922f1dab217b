#include <gtest/gtest.h>

#include <string>

#include "schedule_file/windows1252.h"

namespace kiv {
namespace {

using Reason = EncodeFailure::Reason;

TEST(Windows1252, EveryByteSurvivesAReadAndASave) {
  for (int code = 0; code <= 255; ++code) {
    const std::string byte(1, static_cast<char>(code));
    const Result<std::string, EncodeFailure> back = toWindows1252(fromWindows1252(byte));
    ASSERT_TRUE(back.ok()) << "byte " << code;
    EXPECT_EQ(back.value(), byte) << "byte " << code;
  }
}

TEST(Windows1252, BytesMapToTheirCharacters) {
  struct Case {
    unsigned char byte;
    std::string utf8;
  };
  const Case cases[] = {
      {0x41, "A"},      {0x00, std::string(1, '\0')},
      {0x80, "\u20AC"},  // euro sign
      {0x8A, "\u0160"},  // S with caron
      {0x9F, "\u0178"},  // Y with diaeresis
      {0x81, "\u0081"},  // undefined: the control character of the same number
      {0x8D, "\u008D"}, {0x8F, "\u008F"},
      {0x90, "\u0090"}, {0x9D, "\u009D"},
      {0xA0, "\u00A0"}, {0xDF, "\u00DF"},  // sharp s
      {0xE9, "\u00E9"},                    // e acute
      {0xFF, "\u00FF"},
  };
  for (const Case& c : cases) {
    const std::string byte(1, static_cast<char>(c.byte));
    EXPECT_EQ(fromWindows1252(byte), c.utf8) << int{c.byte};
    const Result<std::string, EncodeFailure> encoded = toWindows1252(c.utf8);
    ASSERT_TRUE(encoded.ok()) << int{c.byte};
    EXPECT_EQ(encoded.value(), byte);
  }
}

TEST(Windows1252, TextsKeepTheirOrderAndLength) {
  const Result<std::string, EncodeFailure> encoded = toWindows1252("Caf\u00E9 \u20AC5 Stra\u00DFe");
  ASSERT_TRUE(encoded.ok());
  EXPECT_EQ(encoded.value(),
            "Caf\xE9 \x80"
            "5 Stra\xDF"
            "e");
  EXPECT_EQ(fromWindows1252(encoded.value()), "Caf\u00E9 \u20AC5 Stra\u00DFe");
  EXPECT_EQ(toWindows1252("").value(), "");
}

TEST(Windows1252, RefusesWhatTheCodePageCannotHold) {
  struct Case {
    std::string utf8;
    Reason reason;
    std::size_t position;
    char32_t character;
  };
  const Case cases[] = {
      {"ab\u0142", Reason::NoCodePageForm, 3, 0x142},  // l with stroke
      {"\u00E9\U0001F600x", Reason::NoCodePageForm, 2,
       0x1F600},                                    // an emoji after a 2-byte character
      {"\u0080", Reason::NoCodePageForm, 1, 0x80},  // a control character the code page lacks
      {"\u20AD", Reason::NoCodePageForm, 1, 0x20AD},
      {"a\x80", Reason::InvalidUtf8, 2, 0},             // a continuation byte alone
      {"ab\xC3", Reason::InvalidUtf8, 3, 0},            // cut off
      {"\xC3(", Reason::InvalidUtf8, 1, 0},             // the continuation is missing
      {"\xC0\xAF", Reason::InvalidUtf8, 1, 0},          // overlong '/'
      {"\xE0\x80\xAF", Reason::InvalidUtf8, 1, 0},      // overlong in three bytes
      {"\xED\xA0\x80", Reason::InvalidUtf8, 1, 0},      // a surrogate
      {"\xF4\x90\x80\x80", Reason::InvalidUtf8, 1, 0},  // above U+10FFFF
      {"x\xFF", Reason::InvalidUtf8, 2, 0},             // not a lead byte
  };
  for (const Case& c : cases) {
    const Result<std::string, EncodeFailure> encoded = toWindows1252(c.utf8);
    ASSERT_FALSE(encoded.ok()) << c.utf8;
    EXPECT_EQ(encoded.error().reason, c.reason) << c.utf8;
    EXPECT_EQ(encoded.error().position, c.position) << c.utf8;
    EXPECT_EQ(encoded.error().character, c.character) << c.utf8;
  }
}

TEST(Windows1252, FailuresDescribeTheCharacterAndWhereItIs) {
  EXPECT_EQ(describeEncodeFailure(toWindows1252("Ja\u0142").error()),
            "the character \"\u0142\" (U+0142) at position 3 has no form in the Windows-1252 "
            "code page.");
  EXPECT_EQ(describeEncodeFailure(toWindows1252("\U0001F600").error()),
            "the character \"\U0001F600\" (U+1F600) at position 1 has no form in the "
            "Windows-1252 code page.");
  EXPECT_EQ(describeEncodeFailure(toWindows1252("ab\xC3").error()),
            "the text is not valid UTF-8 at byte 3.");
}

}  // namespace
}  // namespace kiv
