#include "scheduler/day_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/local_time.h"
#include "tasks/value_lists.h"

namespace kiv {
namespace {

using namespace std::chrono;

local_days on(int y, unsigned m, unsigned d) {
  return local_days{year{y} / month{m} / day{d}};
}

std::string dateText(local_days date) {
  const CivilTime civil = toCivil(date);
  return std::to_string(civil.year) + "-" + zeroPadded(civil.month, 2) + "-" +
         zeroPadded(civil.day, 2);
}

struct DayCase {
  const char* name;
  int rule;
  local_days date;
  bool allowed;
};

void PrintTo(const DayCase& c, std::ostream* os) {
  *os << c.name;
}

class DayRuleExamples : public ::testing::TestWithParam<DayCase> {};

TEST_P(DayRuleExamples, AllowOnlyTheRightDays) {
  EXPECT_EQ(dayRuleAllows(GetParam().rule, GetParam().date), GetParam().allowed);
}

INSTANTIATE_TEST_SUITE_P(
    MonthEnds, DayRuleExamples,
    ::testing::Values(DayCase{"Feb28_2027", kLastDayOfMonth, on(2027, 2, 28), true},
                      DayCase{"Feb27_2027", kLastDayOfMonth, on(2027, 2, 27), false},
                      DayCase{"Feb28_2028", kLastDayOfMonth, on(2028, 2, 28), false},
                      DayCase{"Feb29_2028", kLastDayOfMonth, on(2028, 2, 29), true},
                      DayCase{"Dec31_2026", kLastDayOfMonth, on(2026, 12, 31), true},
                      DayCase{"Dec30_2026", kLastDayOfMonth, on(2026, 12, 30), false},
                      DayCase{"Jan1_2027", kFirstDayOfMonth, on(2027, 1, 1), true},
                      DayCase{"Dec31_2026First", kFirstDayOfMonth, on(2026, 12, 31), false}));

// August 2026 begins on a Saturday, November 2026 on a Sunday; May 2026 ends on
// a Sunday, October 2026 on a Saturday.
INSTANTIATE_TEST_SUITE_P(
    Weekdays, DayRuleExamples,
    ::testing::Values(DayCase{"Aug1_2026", kFirstWeekdayOfMonth, on(2026, 8, 1), false},
                      DayCase{"Aug2_2026", kFirstWeekdayOfMonth, on(2026, 8, 2), false},
                      DayCase{"Aug3_2026", kFirstWeekdayOfMonth, on(2026, 8, 3), true},
                      DayCase{"Aug4_2026", kFirstWeekdayOfMonth, on(2026, 8, 4), false},
                      DayCase{"Aug10_2026", kFirstWeekdayOfMonth, on(2026, 8, 10), false},
                      DayCase{"Nov1_2026", kFirstWeekdayOfMonth, on(2026, 11, 1), false},
                      DayCase{"Nov2_2026", kFirstWeekdayOfMonth, on(2026, 11, 2), true},
                      DayCase{"Nov3_2026", kFirstWeekdayOfMonth, on(2026, 11, 3), false},
                      DayCase{"Dec1_2026", kFirstWeekdayOfMonth, on(2026, 12, 1), true},
                      DayCase{"May29_2026", kLastWeekdayOfMonth, on(2026, 5, 29), true},
                      DayCase{"May30_2026", kLastWeekdayOfMonth, on(2026, 5, 30), false},
                      DayCase{"May31_2026", kLastWeekdayOfMonth, on(2026, 5, 31), false},
                      DayCase{"May28_2026", kLastWeekdayOfMonth, on(2026, 5, 28), false},
                      DayCase{"May22_2026", kLastWeekdayOfMonth, on(2026, 5, 22), false},
                      DayCase{"Oct30_2026", kLastWeekdayOfMonth, on(2026, 10, 30), true},
                      DayCase{"Oct31_2026", kLastWeekdayOfMonth, on(2026, 10, 31), false},
                      DayCase{"Oct29_2026", kLastWeekdayOfMonth, on(2026, 10, 29), false},
                      DayCase{"Jun30_2026", kLastWeekdayOfMonth, on(2026, 6, 30), true},
                      DayCase{"Jun26_2026", kLastWeekdayOfMonth, on(2026, 6, 26), false}));

INSTANTIATE_TEST_SUITE_P(
    DaysOfTheWeek, DayRuleExamples,
    ::testing::Values(DayCase{"MondayIsWeekday", kWeekdaysOnly, on(2026, 12, 7), true},
                      DayCase{"SundayIsNoWeekday", kWeekdaysOnly, on(2026, 12, 6), false},
                      DayCase{"SaturdayIsWeekend", kWeekendsOnly, on(2026, 12, 5), true},
                      DayCase{"FridayIsNoWeekend", kWeekendsOnly, on(2026, 12, 4), false},
                      DayCase{"SundayOnly", kSundayOnly, on(2026, 12, 6), true},
                      DayCase{"SundayOnlyOnSaturday", kSundayOnly, on(2026, 12, 5), false},
                      DayCase{"SaturdayOnly", kSaturdayOnly, on(2026, 12, 5), true},
                      DayCase{"SaturdayOnlyOnSunday", kSaturdayOnly, on(2026, 12, 6), false},
                      DayCase{"EveryDay", kEveryDay, on(2026, 12, 5), true}));

// The rules again, computed another way: by naming the weekday and by scanning
// the month's days for its first and last Monday to Friday.
bool isWorkday(local_days date) {
  const weekday w{date};
  return w != Saturday && w != Sunday;
}

bool expectedAllows(int rule, local_days date) {
  const year_month_day ymd{date};
  const local_days first{ymd.year() / ymd.month() / 1};
  const local_days last{ymd.year() / ymd.month() / std::chrono::last};
  switch (rule) {
    case 1:
      return isWorkday(date);
    case 2:
      return !isWorkday(date);
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
      return weekday{date} == weekday{static_cast<unsigned>(rule - 3)};
    case 10:
      return date == first;
    case 11:
      return date == last;
    case 12: {
      local_days d = first;
      while (!isWorkday(d)) d += days{1};
      return date == d;
    }
    case 13: {
      local_days d = last;
      while (!isWorkday(d)) d -= days{1};
      return date == d;
    }
    default:
      return true;
  }
}

TEST(DayRuleAllows, MatchesTheCalendarEveryDayOf2024To2030) {
  std::vector<int> rules;
  for (int rule = 0; rule <= 14; ++rule) rules.push_back(rule);
  rules.insert(rules.end(), {100, 255, -1});
  for (local_days date = on(2024, 1, 1); date <= on(2030, 12, 31); date += days{1}) {
    for (const int rule : rules) {
      ASSERT_EQ(dayRuleAllows(rule, date), expectedAllows(rule, date))
          << "rule " << rule << " on " << dateText(date);
    }
  }
}

TEST(DayRuleAllows, EachMonthHasOneDayForEachMonthRule) {
  for (year_month ym = year{2024} / January; ym <= year{2030} / December; ym += months{1}) {
    for (const int rule : {10, 11, 12, 13}) {
      int matches = 0;
      for (local_days d{ym / 1}; d <= local_days{ym / std::chrono::last}; d += days{1}) {
        matches += dayRuleAllows(rule, d) ? 1 : 0;
      }
      EXPECT_EQ(matches, 1) << "rule " << rule << " in " << dateText(local_days{ym / 1});
    }
  }
}

}  // namespace
}  // namespace kiv
