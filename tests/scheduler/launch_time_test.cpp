#include "scheduler/launch_time.h"

#include <gtest/gtest.h>

#include "support/time_of_day.h"

namespace kiv {
namespace {

using std::chrono::seconds;
using testing::at;

struct Parse {
  const char* text;
  std::optional<seconds> expected;
};

void PrintTo(const Parse& p, std::ostream* os) {
  *os << '"' << p.text << '"';
}

class ParseTimeOfDay : public ::testing::TestWithParam<Parse> {};

TEST_P(ParseTimeOfDay, ReadsExactlyTheLaunchTimeForms) {
  EXPECT_EQ(parseTimeOfDay(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ParseTimeOfDay,
    ::testing::Values(Parse{"00:00:00", at(0, 0, 0)}, Parse{"07:30:00", at(7, 30, 0)},
                      Parse{"14:30:15", at(14, 30, 15)}, Parse{"23:59:59", at(23, 59, 59)},
                      Parse{"7:30:00", at(7, 30, 0)}, Parse{"0:00:09", at(0, 0, 9)},
                      Parse{"12:30", at(12, 30, 0)}, Parse{"00:15", at(0, 15, 0)},
                      Parse{"9:05", at(9, 5, 0)}));

INSTANTIATE_TEST_SUITE_P(Refused, ParseTimeOfDay,
                         ::testing::Values(
                             // Out of range.
                             Parse{"24:00:00", {}}, Parse{"25:00:00", {}}, Parse{"12:60:00", {}},
                             Parse{"12:00:60", {}}, Parse{"99:99", {}},
                             // Wrong widths.
                             Parse{"123:00:00", {}}, Parse{"12:5:00", {}}, Parse{"12:05:0", {}},
                             Parse{"12:05:000", {}}, Parse{"07:30:000", {}}, Parse{"12:3", {}},
                             Parse{"12", {}}, Parse{":30:00", {}}, Parse{"", {}},
                             // Blanks, signs and other characters.
                             Parse{" 7:30:00", {}}, Parse{"07:30:00 ", {}}, Parse{"12: 5:00", {}},
                             Parse{"+7:30:00", {}}, Parse{"-1:30:00", {}}, Parse{"12:+5:00", {}},
                             Parse{"ab:cd:ef", {}}, Parse{"12:3x", {}}, Parse{"12.30.00", {}},
                             // Trailing text, the recurring mark among it.
                             Parse{"12:30:", {}}, Parse{"12:30:?5", {}}, Parse{"12:30:00:00", {}},
                             Parse{"12:30x", {}}, Parse{"12:30:0\xC3\xA9", {}}));

struct Number {
  const char* text;
  std::optional<int> expected;
};

TEST(ShortNumber, TakesOneOrTwoDigitsAndNothingElse) {
  const Number cases[] = {{"0", 0},  {"7", 7},    {"08", 8},       {"23", 23}, {"99", 99},
                          {"", {}},  {"123", {}}, {" 5", {}},      {"+5", {}}, {"-1", {}},
                          {"?", {}}, {"5 ", {}},  {"\xC3\xA9", {}}};
  for (const Number& c : cases) {
    EXPECT_EQ(shortNumber(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(IsRecurring, LooksOnlyAtTheSeventhCharacter) {
  EXPECT_TRUE(isRecurring("08:30:?4"));
  EXPECT_TRUE(isRecurring("12:30:??"));
  EXPECT_TRUE(isRecurring("xxxxxx?"));
  EXPECT_TRUE(
      isRecurring("\xC3\xA9"
                  "2:30:?5"));  // the seventh character, not byte
  EXPECT_FALSE(isRecurring("08:30:04"));
  EXPECT_FALSE(isRecurring("8:30:?4"));
  EXPECT_FALSE(isRecurring("08:30?"));
  EXPECT_FALSE(isRecurring(""));
}

}  // namespace
}  // namespace kiv
