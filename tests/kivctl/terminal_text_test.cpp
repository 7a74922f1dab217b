#include "terminal_text.h"

#include <gtest/gtest.h>

namespace kiv::ctl {
namespace {

TEST(TerminalText, ControlCharactersAreEscapedAndEverythingElseStays) {
  using namespace std::string_literals;
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {R"(C:\Office\MSACCESS.EXE)", R"(C:\Office\MSACCESS.EXE)"},
      {"Ωmega \"quoted\" 100%", "Ωmega \"quoted\" 100%"},
      {"a\nb\rc\td", R"(a\nb\rc\td)"},
      {"\x1b[2J\x1b]0;title\x07", R"(\e[2J\e]0;title\x07)"},
      {"nul\0del\x7f"s, R"(nul\x00del\x7F)"},
      {"\x01\x1f ", R"(\x01\x1F )"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(shownOnTerminal(text), shown) << shown;
}

}  // namespace
}  // namespace kiv::ctl
