#include "base/text_characters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kiv {
namespace {

// "aé€😀": characters of one, two, three and four bytes.
constexpr std::string_view kMixed = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";

TEST(TextCharacters, CountsCharacters) {
  EXPECT_EQ(characterCount(""), 0U);
  EXPECT_EQ(characterCount("12:30:?5"), 8U);
  EXPECT_EQ(characterCount(kMixed), 4U);
}

TEST(TextCharacters, LeadingCharactersNeverSplitOne) {
  EXPECT_EQ(leadingCharacters(kMixed, 0), "");
  EXPECT_EQ(leadingCharacters(kMixed, 1), "a");
  EXPECT_EQ(leadingCharacters(kMixed, 2), "a\xC3\xA9");
  EXPECT_EQ(leadingCharacters(kMixed, 3), "a\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(leadingCharacters(kMixed, 4), kMixed);
  EXPECT_EQ(leadingCharacters(kMixed, 9), kMixed);
  EXPECT_EQ(leadingCharacters("12:30:?5", 5), "12:30");
}

TEST(TextCharacters, CharacterAtAndLast) {
  EXPECT_EQ(characterAt(kMixed, 0), "a");
  EXPECT_EQ(characterAt(kMixed, 1), "\xC3\xA9");
  EXPECT_EQ(characterAt(kMixed, 2), "\xE2\x82\xAC");
  EXPECT_EQ(characterAt(kMixed, 3), "\xF0\x9F\x98\x80");
  EXPECT_EQ(characterAt(kMixed, 4), "");
  EXPECT_EQ(characterAt("", 0), "");
  EXPECT_EQ(lastCharacter(kMixed), "\xF0\x9F\x98\x80");
  EXPECT_EQ(lastCharacter("12:30:?5"), "5");
  EXPECT_EQ(lastCharacter("\xC3\xA9"), "\xC3\xA9");
  EXPECT_EQ(lastCharacter(""), "");
}

TEST(TextCharacters, AppendUtf8WritesTheShortestFormAtEveryBoundary) {
  const struct {
    char32_t character;
    std::string_view bytes;
  } cases[] = {
      {0x00, std::string_view("\0", 1)},
      {0x41, "A"},
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0xE9, "\xC3\xA9"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0x20AC, "\xE2\x82\xAC"},
      {0xD800, "\xED\xA0\x80"},
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x1F600, "\xF0\x9F\x98\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
  };
  for (const auto& [character, bytes] : cases) {
    std::string out = "x";
    appendUtf8(out, character);
    EXPECT_EQ(out, "x" + std::string(bytes)) << static_cast<std::uint32_t>(character);
  }
}

TEST(TextCharacters, Utf8SequenceAtTakesOnlyTheShortestWellFormedForm) {
  const struct {
    std::string_view text;
    std::size_t at;
    std::optional<char32_t> character;  // nullopt: refused
    std::size_t length;
  } cases[] = {
      {kMixed, 0, U'a', 1},
      {kMixed, 1, 0xE9, 2},
      {kMixed, 3, 0x20AC, 3},
      {kMixed, 6, 0x1F600, 4},
      {kMixed, 2, std::nullopt, 0},      // a continuation byte starts nothing
      {kMixed, 10, std::nullopt, 0},     // past the end
      {"\xC3", 0, std::nullopt, 0},      // cut short
      {"\xE2\x82", 0, std::nullopt, 0},  // cut short
      {"\xC3x", 0, std::nullopt, 0},     // no continuation
      {"\xC0\x80", 0, std::nullopt, 0},  // overlong NUL
      {"\xE0\x9F\xBF", 0, std::nullopt, 0},
      {"\xF0\x8F\xBF\xBF", 0, std::nullopt, 0},
      {"\xF4\x90\x80\x80", 0, std::nullopt, 0},  // above U+10FFFF
      {"\xF4\x8F\xBF\xBF", 0, 0x10FFFF, 4},
      {"\xFF", 0, std::nullopt, 0},
      {"\xED\xA0\x80", 0, 0xD800, 3},  // a surrogate, for the codec to judge
  };
  for (const auto& [text, at, character, length] : cases) {
    const std::optional<Utf8Sequence> sequence = utf8SequenceAt(text, at);
    ASSERT_EQ(sequence.has_value(), character.has_value()) << text << " at " << at;
    if (!sequence) continue;
    EXPECT_EQ(sequence->character, *character) << text << " at " << at;
    EXPECT_EQ(sequence->length, length) << text << " at " << at;
  }
}

}  // namespace
}  // namespace kiv
