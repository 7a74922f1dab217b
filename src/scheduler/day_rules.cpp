#include "scheduler/day_rules.h"

#include <array>

#include "tasks/value_lists.h"

namespace kiv {
namespace {

using std::chrono::days;
using std::chrono::local_days;

// Weekdays count from 1 for Sunday to 7 for Saturday; weekday % 7 turns
// Saturday into 0, so weekday % 7 >= 2 is Monday to Friday.
constexpr int kMonday = 2;
constexpr int kFriday = 6;

int weekdayNumber(local_days date) {
  return static_cast<int>(std::chrono::weekday{date}.c_encoding()) + 1;
}

bool isMondayToFriday(local_days date) {
  return weekdayNumber(date) % 7 >= 2;
}

int dayOfMonth(local_days date) {
  return static_cast<int>(static_cast<unsigned>(std::chrono::year_month_day{date}.day()));
}

// Each rule receives its own index, so that the seven single-day rules share
// one computation, and the first and last day of the month another.
using DayRule = bool (*)(int rule, local_days date);

constexpr DayRule kAlways = [](int, local_days) { return true; };

constexpr DayRule kMondayToFriday = [](int, local_days date) { return isMondayToFriday(date); };

constexpr DayRule kWeekend = [](int, local_days date) { return !isMondayToFriday(date); };

// "Sunday only" to "Saturday only", in weekday order.
constexpr DayRule kSingleDay = [](int rule, local_days date) {
  return rule - kSundayOnly + 1 == weekdayNumber(date);
};

// The first day of the month looks at today, the last day at tomorrow: is
// that the 1st?
constexpr DayRule kMonthBoundary = [](int rule, local_days date) {
  return dayOfMonth(date + days{rule - kFirstDayOfMonth}) == 1;
};

// The 1st on Monday to Friday; when the month begins on a weekend, the Monday
// after it (the 2nd or the 3rd).
constexpr DayRule kFirstWeekday = [](int, local_days date) {
  const int day = dayOfMonth(date);
  return (day == 1 && isMondayToFriday(date)) || (day <= 3 && weekdayNumber(date) == kMonday);
};

// The last day on Monday to Friday; when the month ends on a weekend, the
// Friday before it.
constexpr DayRule kLastWeekday = [](int, local_days date) {
  return (dayOfMonth(date + days{1}) == 1 && isMondayToFriday(date)) ||
         (dayOfMonth(date + days{3}) <= 3 && weekdayNumber(date) == kFriday);
};

// Indexed by DayPattern.
constexpr std::array<DayRule, kLastWeekdayOfMonth + 1> kDayRules{
    kAlways,        kMondayToFriday, kWeekend,      kSingleDay,   kSingleDay,
    kSingleDay,     kSingleDay,      kSingleDay,    kSingleDay,   kSingleDay,
    kMonthBoundary, kMonthBoundary,  kFirstWeekday, kLastWeekday,
};

}  // namespace

bool dayRuleAllows(int daysToRunOn, local_days date) {
  if (daysToRunOn < 0 || daysToRunOn >= static_cast<int>(kDayRules.size())) return true;
  return kDayRules[static_cast<std::size_t>(daysToRunOn)](daysToRunOn, date);
}

}  // namespace kiv
