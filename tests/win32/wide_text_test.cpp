#include <gtest/gtest.h>

#include "wide_text.h"

namespace kiv {
namespace {

struct WideCase {
  const char* what;
  std::string utf8;
  std::wstring utf16;
};

class WideText : public ::testing::TestWithParam<WideCase> {};

TEST_P(WideText, MakesTheRoundTripUnchanged) {
  const WideCase& c = GetParam();
  EXPECT_EQ(toWide(c.utf8), c.utf16) << c.what;
  EXPECT_EQ(fromWide(c.utf16), c.utf8) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Win32, WideText,
    ::testing::Values(
        WideCase{"empty", "", L""}, WideCase{"ASCII", "C:\\w32\\a b.mdb", L"C:\\w32\\a b.mdb"},
        WideCase{"NUL inside", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
        WideCase{"Latin and the euro sign", "\xC3\xA9\xE2\x82\xAC", L"\u00E9\u20AC"},
        WideCase{"Greek, outside the ANSI code page", "\xCE\xA9mega \xCE\xB1\xCE\xB2\xCE\xB3",
                 L"\u03A9mega \u03B1\u03B2\u03B3"},
        WideCase{"beyond the first plane: a surrogate pair", "\xF0\x9F\x98\x80", L"\xD83D\xDE00"},
        WideCase{"a lone high surrogate keeps its three bytes",
                 "a\xED\xA0\xBD"
                 "b",
                 L"a\xD83D"
                 L"b"},
        WideCase{"a lone low surrogate at the end", "\xED\xB8\x80", L"\xDE00"}));

TEST(WideTextMalformed, ShowsEachByteThatIsNotUtf8AsTheReplacementCharacter) {
  EXPECT_EQ(toWide("a\xFF"
                   "b"),
            L"a\uFFFDb");
  EXPECT_EQ(toWide("\xC3"), L"\uFFFD");                                // cut short
  EXPECT_EQ(toWide("\xC0\xAF"), L"\uFFFD\uFFFD");                      // an overlong '/'
  EXPECT_EQ(toWide("\xF4\x90\x80\x80"), L"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
}

}  // namespace
}  // namespace kiv
