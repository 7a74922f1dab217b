#include "scheduler/calendar_days.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/local_time.h"
#include "scheduler/day_rules.h"

namespace kiv {
namespace {

using namespace std::chrono;

// What a set of days means, as a calendar event of any export target reads it:
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
TEST(CalendarDays, EveryDayPatternAllowsExactlyTheDaysOfTheDayRules) {
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

}  // namespace
}  // namespace kiv
