#include "scheduler/daily_candidates.h"

#include <gtest/gtest.h>

#include <vector>

namespace kiv {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;

TEST(DailyCandidates, FixedTimeIsItsOneSecond) {
  const auto candidates = dailyCandidates("14:30:15");
  ASSERT_TRUE(candidates);
  EXPECT_EQ(candidates.value(), std::vector<seconds>{hours{14} + minutes{30} + seconds{15}});
  // The tick's parser takes a one-digit hour, so this launches at 07:30:00.
  EXPECT_EQ(dailyCandidates("7:30:00").value(), std::vector<seconds>{hours{7} + minutes{30}});
}

TEST(DailyCandidates, RecurringTimeRepeatsFromItsStartHourToTheEndOfTheDay) {
  struct Case {
    std::string_view launchAt;
    std::vector<int> hours;
    int minute;
  };
  const std::vector<Case> cases{
      {"08:30:?4", {8, 12, 16, 20}, 30},
      {"00:15:?6", {0, 6, 12, 18}, 15},
      {"23:59:?1", {23}, 59},
      {"12:30:?5", {12, 17, 22}, 30},
      {"00:00:?1",
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23},
       0},
  };
  for (const Case& c : cases) {
    std::vector<seconds> expected;
    for (int hour : c.hours) expected.push_back(hours{hour} + minutes{c.minute});
    const auto candidates = dailyCandidates(c.launchAt);
    ASSERT_TRUE(candidates) << c.launchAt;
    EXPECT_EQ(candidates.value(), expected) << c.launchAt;
  }
}

TEST(DailyCandidates, LaunchTimesThatCanNeverBeDueSayWhy) {
  const std::vector<std::pair<std::string_view, std::string>> cases{
      {"25:00:00", "its launch time \"25:00:00\" is not a time of day"},
      {"ab:cd:ef", "its launch time \"ab:cd:ef\" is not a time of day"},
      {"", "its launch time \"\" is not a time of day"},
      {"xx:30:?5", "its start hour \"xx\" is not a number"},
      {"12:30:??", "its interval \"?\" is not a digit"},
      {"12:30:?0", "its interval is 0 hours"},
      {"24:00:?1", "its start hour 24 is past 23"},
      {"12: 5:?5", "its minute \" 5\" is not two digits 00 to 59"},
      {"12:60:?5", "its minute \"60\" is not two digits 00 to 59"},
  };
  for (const auto& [launchAt, reason] : cases) {
    const auto candidates = dailyCandidates(launchAt);
    ASSERT_FALSE(candidates) << launchAt;
    EXPECT_EQ(candidates.error(), reason);
  }
}

}  // namespace
}  // namespace kiv
