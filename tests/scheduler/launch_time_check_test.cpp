#include "scheduler/launch_time_check.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

struct Check {
  const char* text;
  std::optional<std::string_view> message;
};

void PrintTo(const Check& c, std::ostream* os) {
  *os << '"' << c.text << '"';
}

class CheckLaunchTime : public ::testing::TestWithParam<Check> {};

TEST_P(CheckLaunchTime, AcceptsOrGivesTheOneMessage) {
  EXPECT_EQ(checkLaunchTime(GetParam().text), GetParam().message);
}

constexpr std::optional<std::string_view> kAccepted;
constexpr std::optional<std::string_view> kFormat = kLaunchTimeFormatMessage;
constexpr std::optional<std::string_view> kZero = kRecurringZeroMessage;

TEST(LaunchTimeMessages, AreTheProgramsTexts) {
  EXPECT_EQ(kLaunchTimeFormatMessage, "Enter the time in hh:mm:ss format.");
  EXPECT_EQ(kRecurringZeroMessage, "The final digit of the time cannot be 0 for recurring tasks.");
}

INSTANTIATE_TEST_SUITE_P(Fixed, CheckLaunchTime,
                         ::testing::Values(Check{"00:00:00", kAccepted},
                                           Check{"07:30:00", kAccepted},
                                           Check{"23:59:59", kAccepted},
                                           // Parsed by the tick, but refused here for its length.
                                           Check{"7:30:00", kFormat}, Check{"07:30:000", kFormat},
                                           Check{"25:00:00", kFormat}, Check{"ab:cd:ef", kFormat},
                                           Check{"12:60:00", kFormat}, Check{" 7:30:00", kFormat},
                                           Check{"12:30:0 ", kFormat}, Check{"", kFormat}));

INSTANTIATE_TEST_SUITE_P(
    Recurring, CheckLaunchTime,
    ::testing::Values(Check{"12:30:?5", kAccepted}, Check{"08:30:?4", kAccepted},
                      Check{"00:00:?1", kAccepted}, Check{"23:59:?9", kAccepted},
                      // Only "0" is looked at in the interval place.
                      Check{"12:30:??", kAccepted}, Check{"12:30:?x", kAccepted},
                      Check{"12:30:? ", kAccepted},
                      // The sixth character is not part of the first five.
                      Check{"12:30x?5", kAccepted}, Check{"12:30:?0", kZero},
                      // The form is checked first: one message at most.
                      Check{"12:3x:?5", kFormat}, Check{"12:3x:?0", kFormat},
                      Check{"25:00:?1", kFormat}, Check{"12:30:?", kFormat},
                      Check{"12:30:?55", kFormat}, Check{"12:30:?00", kFormat},
                      Check{"1:30:?5x", kFormat}, Check{"ab:cd:?1", kFormat}));

// Texts are UTF-8; the length that counts is that of the characters.
INSTANTIATE_TEST_SUITE_P(NonAscii, CheckLaunchTime,
                         ::testing::Values(Check{"12:30:?\xC3\xA9", kAccepted},
                                           Check{"12:30\xC3\xA9?5", kAccepted},
                                           Check{"12:3\xC3\xA9:?5", kFormat},
                                           Check{"\xC3\xA9"
                                                 "12:30:?5",
                                                 kFormat}));

}  // namespace
}  // namespace kiv
