#include "scheduler/systemd_calendar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/local_time.h"
#include "scheduler/day_rules.h"
#include "tasks/value_lists.h"

namespace kiv {
namespace {

using namespace std::chrono;

// What a set of days means, read the way systemd reads its calendar events:
// the weekday must be listed, and the day of the month counted from the start
// (or from the end, the last day being 1) must be listed unless none is.
bool setHolds(const CalendarDays& days, local_days date) {
  const year_month_day ymd{date};
  const auto lastDay =
      static_cast<unsigned>(year_month_day_last{ymd.year(), ymd.month() / last}.day());
  const unsigned dayOfMonth = static_cast<unsigned>(ymd.day());
  const unsigned counted = days.fromMonthEnd ? lastDay - dayOfMonth + 1 : dayOfMonth;
  const bool weekdayListed = (days.weekdays >> weekday{date}.c_encoding() & 1U) != 0;
  const bool dayListed = days.monthDays == 0 || (days.monthDays >> counted & 1U) != 0;
  return weekdayListed && dayListed;
}

bool anySetHolds(const std::vector<CalendarDays>& sets, local_days date) {
  for (const CalendarDays& days : sets) {
    if (setHolds(days, date)) return true;
  }
  return false;
}

// Four centuries repeat the Gregorian calendar whole, so every combination of
// weekday, month length and leap year is met, the century years included.
TEST(SystemdCalendar, EveryDayPatternAllowsExactlyTheDaysOfTheDayRules) {
  const local_days first{year{2000} / January / 1};
  const local_days end{year{2400} / January / 1};
  for (const int pattern : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 255, -1}) {
    const std::vector<CalendarDays> sets = calendarDays(pattern);
    int mismatches = 0;
    for (local_days date = first; date < end && mismatches < 5; date += days{1}) {
      if (anySetHolds(sets, date) == dayRuleAllows(pattern, date)) continue;
      ++mismatches;
      ADD_FAILURE() << "pattern " << pattern << " on " << dateTimeText(date) << ": the day rules "
                    << (dayRuleAllows(pattern, date) ? "allow" : "refuse") << " it";
    }
  }
}

struct EventCase {
  int pattern;
  std::vector<seconds> secondsOfDay;
  std::vector<std::string> events;
};

TEST(SystemdCalendar, WritesOneEventForEachSetOfDaysAndTimeInTheHour) {
  const auto at = [](int h, int m, int s) { return hours{h} + minutes{m} + seconds{s}; };
  const std::vector<EventCase> cases{
      {kEveryDay, {at(7, 5, 9)}, {"*-*-* 07:05:09"}},
      {kWeekdaysOnly, {at(23, 59, 59)}, {"Mon,Tue,Wed,Thu,Fri *-*-* 23:59:59"}},
      {kWeekendsOnly, {at(0, 0, 0)}, {"Sat,Sun *-*-* 00:00:00"}},
      {kSundayOnly, {at(12, 30, 0)}, {"Sun *-*-* 12:30:00"}},
      {kSaturdayOnly, {at(12, 30, 0)}, {"Sat *-*-* 12:30:00"}},
      {kFirstDayOfMonth,
       {at(2, 0, 0), at(9, 0, 0), at(16, 0, 0), at(23, 0, 0)},
       {"*-*-01 02,09,16,23:00:00"}},
      {kLastDayOfMonth, {at(1, 15, 0)}, {"*-*~01 01:15:00"}},
      {kFirstWeekdayOfMonth,
       {at(8, 45, 0), at(17, 45, 0)},
       {"Mon,Tue,Wed,Thu,Fri *-*-01 08,17:45:00", "Mon *-*-02,03 08,17:45:00"}},
      {kLastWeekdayOfMonth,
       {at(18, 0, 0)},
       {"Mon,Tue,Wed,Thu,Fri *-*~01 18:00:00", "Fri *-*~02,03 18:00:00"}},
      // Launch seconds that do not share their minute and second (none of the
      // launch-time forms gives them, but the events must stay exact).
      {kEveryDay,
       {at(1, 0, 0), at(1, 30, 0), at(2, 0, 0)},
       {"*-*-* 01,02:00:00", "*-*-* 01:30:00"}},
      {14, {at(6, 0, 0)}, {"*-*-* 06:00:00"}},
  };
  for (const EventCase& c : cases) {
    EXPECT_EQ(calendarEvents(c.pattern, c.secondsOfDay), c.events) << "pattern " << c.pattern;
  }
}

}  // namespace
}  // namespace kiv
