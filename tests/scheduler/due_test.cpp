#include "scheduler/due.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "support/time_of_day.h"

namespace kiv {
namespace {

using std::chrono::seconds;
using testing::at;

std::vector<seconds> atMinuteOf(int minute, std::initializer_list<int> hours) {
  std::vector<seconds> times;
  for (const int hour : hours) times.push_back(at(hour, minute, 0));
  return times;
}

// Whole days of the real calendar, each swept second by second: a Monday in
// December, a leap day, and the last day of a year.
const LocalTime kDays[] = {fromCivil({2026, 12, 7}), fromCivil({2028, 2, 29}),
                           fromCivil({2026, 12, 31})};

struct DueTimes {
  const char* launchAt;
  std::vector<seconds> dueAt;  // seconds of the day
};

void PrintTo(const DueTimes& d, std::ostream* os) {
  *os << '"' << d.launchAt << '"';
}

class DueOverWholeDays : public ::testing::TestWithParam<DueTimes> {};

TEST_P(DueOverWholeDays, DueExactlyAtTheListedSeconds) {
  constexpr seconds kDay{86400};
  for (const LocalTime day : kDays) {
    std::vector<seconds> due;
    int unusable = 0;
    for (seconds s{0}; s < kDay; ++s) {
      const DueVerdict verdict = isDue(GetParam().launchAt, day + s);
      if (verdict == DueVerdict::Due) due.push_back(s);
      if (verdict == DueVerdict::Unusable) ++unusable;
    }
    EXPECT_EQ(due, GetParam().dueAt) << "on day " << toCivil(day).day;
    EXPECT_EQ(unusable, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Fixed, DueOverWholeDays,
                         ::testing::Values(DueTimes{"00:00:00", {at(0, 0, 0)}},
                                           DueTimes{"14:30:15", {at(14, 30, 15)}},
                                           DueTimes{"23:59:59", {at(23, 59, 59)}},
                                           // Refused by the check, yet launched by the tick.
                                           DueTimes{"7:30:00", {at(7, 30, 0)}},
                                           // The short form is a time of day too.
                                           DueTimes{"12:30", {at(12, 30, 0)}}));

INSTANTIATE_TEST_SUITE_P(
    Recurring, DueOverWholeDays,
    ::testing::Values(DueTimes{"08:30:?4", atMinuteOf(30, {8, 12, 16, 20})},
                      DueTimes{"00:15:?6", atMinuteOf(15, {0, 6, 12, 18})},
                      DueTimes{"00:00:?1",
                               atMinuteOf(0, {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                              12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23})},
                      DueTimes{"23:59:?1", {at(23, 59, 0)}},
                      DueTimes{"12:30:?5", atMinuteOf(30, {12, 17, 22})},
                      DueTimes{"12:05:?9", atMinuteOf(5, {12, 21})},
                      // Characters 3 and 6 are never looked at.
                      DueTimes{"12x30x?5", atMinuteOf(30, {12, 17, 22})},
                      // The interval is the last character, however long the text.
                      DueTimes{"12:30:?15", atMinuteOf(30, {12, 17, 22})},
                      // The minute is compared as text, and no hour reaches 99.
                      DueTimes{"12: 5:?1", {}}, DueTimes{"12:5 :?1", {}}, DueTimes{"12:75:?1", {}},
                      DueTimes{"99:30:?1", {}}, DueTimes{"24:00:?1", {}}));

class UnusableAllDay : public ::testing::TestWithParam<const char*> {};

TEST_P(UnusableAllDay, IsSkippedAtEverySecond) {
  for (seconds s{0}; s < seconds{86400}; s += seconds{1}) {
    ASSERT_EQ(isDue(GetParam(), kDays[0] + s), DueVerdict::Unusable) << s.count();
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, UnusableAllDay,
                         ::testing::Values(
                             // Fixed, but not a time.
                             "25:00:00", "ab:cd:ef", "12:30:0", "", "14:30:15 ", "07:30:000",
                             // Interval 0: the interval test would divide by zero.
                             "12:30:?0", "00:00:?0",
                             // The interval or the start hour is not a number.
                             "12:30:??", "12:30:?", "12:30:?x", "ab:30:?1", " 8:30:?4", "+8:30:?4",
                             "\xC3\xA9"
                             "2:30:?5"));

TEST(IsDue, ReadsTheTimeOfDayOfTheRealCalendar) {
  // The due test must take the time of day from the local calendar day, also
  // on dates before the clock's epoch.
  EXPECT_EQ(isDue("06:00:00", fromCivil({1969, 12, 31, 6, 0, 0})), DueVerdict::Due);
  EXPECT_EQ(isDue("06:00:?6", fromCivil({1969, 12, 31, 18, 0, 0})), DueVerdict::Due);
  EXPECT_EQ(isDue("06:00:00", fromCivil({2100, 3, 1, 6, 0, 0})), DueVerdict::Due);
  EXPECT_EQ(isDue("06:00:00", fromCivil({2100, 3, 1, 6, 0, 1})), DueVerdict::NotDue);
}

}  // namespace
}  // namespace kiv
