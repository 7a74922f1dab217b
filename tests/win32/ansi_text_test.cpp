#include <gtest/gtest.h>

#include "ansi_text.h"
#include "windows_api.h"

namespace kiv {
namespace {

// The tests run in a Western European Windows, whose ANSI code page is
// Windows-1252.
class AnsiText : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GetACP(), 1252U); }
};

TEST_F(AnsiText, TakesEveryCharacterOfTheCodePageBothWays) {
  const std::string utf8 = "Caf\xC3\xA9 \xE2\x82\xAC 5 \xC3\x9F";  // Café € 5 ß
  const std::string ansi = "Caf\xE9 \x80 5 \xDF";
  EXPECT_EQ(toAnsiExactly(utf8), ansi);
  EXPECT_EQ(fromAnsi(ansi), utf8);
}

TEST_F(AnsiText, KeepsNulCharactersInsideATextOfKnownLength) {
  const std::string withNuls("a\0b\0\0", 5);
  EXPECT_EQ(toAnsiExactly(withNuls), withNuls);
  EXPECT_EQ(fromAnsi(withNuls), withNuls);
  EXPECT_EQ(toAnsiExactly(""), "");
  EXPECT_EQ(fromAnsi(""), "");
}

TEST_F(AnsiText, RefusesACharacterTheCodePageLacks) {
  EXPECT_EQ(toAnsiExactly("task \xD0\x96"), std::nullopt);  // Ж
  // The look-alike a best fit would pick is refused as well.
  EXPECT_EQ(toAnsiExactly("\xE2\x88\x92"), std::nullopt);  // − (minus sign), close to '-'
  EXPECT_EQ(toAnsiExactly("\xFF not UTF-8"), std::nullopt);
  EXPECT_EQ(toAnsiExactly("\xED\xA0\x80"), std::nullopt);  // a lone surrogate
}

}  // namespace
}  // namespace kiv
