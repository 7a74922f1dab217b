#include "scheduler/calendar_days.h"

#include "tasks/value_lists.h"

namespace kiv {
namespace {

constexpr unsigned kSunday = 0;
constexpr unsigned kMonday = 1;
constexpr unsigned kFriday = 5;
constexpr unsigned kSaturday = 6;

constexpr std::uint8_t kMondayToFriday =
    kEveryWeekday & ~weekdayBit(kSunday) & ~weekdayBit(kSaturday);
constexpr std::uint8_t kWeekend = weekdayBit(kSunday) | weekdayBit(kSaturday);

constexpr CalendarDays kEveryDayOfMonth{kEveryWeekday, 0, false};

// The first weekday of the month is the 1st when that is Monday to Friday,
// else the Monday after the weekend it falls on (the 2nd or the 3rd); the last
// weekday mirrors it from the end with Friday. A second set catches that
// Monday or Friday: on the 1st (last day) it is in the first set already.
std::vector<CalendarDays> monthWeekday(bool fromMonthEnd, unsigned weekdayAfterWeekend) {
  return {{kMondayToFriday, monthDayBit(1), fromMonthEnd},
          {weekdayBit(weekdayAfterWeekend), monthDayBit(2) | monthDayBit(3), fromMonthEnd}};
}

}  // namespace

std::vector<CalendarDays> calendarDays(int daysToRunOn) {
  switch (daysToRunOn) {
    case kWeekdaysOnly:
      return {{kMondayToFriday, 0, false}};
    case kWeekendsOnly:
      return {{kWeekend, 0, false}};
    case kSundayOnly:
    case kMondayOnly:
    case kTuesdayOnly:
    case kWednesdayOnly:
    case kThursdayOnly:
    case kFridayOnly:
    case kSaturdayOnly:
      return {{weekdayBit(static_cast<unsigned>(daysToRunOn - kSundayOnly)), 0, false}};
    case kFirstDayOfMonth:
      return {{kEveryWeekday, monthDayBit(1), false}};
    case kLastDayOfMonth:
      return {{kEveryWeekday, monthDayBit(1), true}};
    case kFirstWeekdayOfMonth:
      return monthWeekday(false, kMonday);
    case kLastWeekdayOfMonth:
      return monthWeekday(true, kFriday);
    default:  // "Every day", and any value outside the list
      return {kEveryDayOfMonth};
  }
}

}  // namespace kiv
