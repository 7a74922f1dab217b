#include "base/text_characters.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kiv
