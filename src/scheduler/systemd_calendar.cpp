#include "scheduler/systemd_calendar.h"

#include <array>
#include <map>
#include <string_view>

#include "base/local_time.h"
#include "tasks/value_lists.h"

namespace kiv {
namespace {

using std::chrono::seconds;

constexpr std::uint8_t weekdayBit(unsigned weekday) {
  return static_cast<std::uint8_t>(1U << weekday);
}

constexpr std::uint32_t dayBit(unsigned day) {
  return 1U << day;
}

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
  return {{kMondayToFriday, dayBit(1), fromMonthEnd},
          {weekdayBit(weekdayAfterWeekend), dayBit(2) | dayBit(3), fromMonthEnd}};
}

// systemd numbers weekdays from Monday; these are in the order the day rules
// count them, Sunday first.
constexpr std::array<std::string_view, 7> kWeekdayNames{"Sun", "Mon", "Tue", "Wed",
                                                        "Thu", "Fri", "Sat"};

// Monday first, Sunday last, as systemd writes a list of weekdays.
std::string weekdayText(std::uint8_t weekdays) {
  std::string text;
  for (unsigned step = 1; step <= kWeekdayNames.size(); ++step) {
    const unsigned weekday = step % kWeekdayNames.size();
    if ((weekdays & weekdayBit(weekday)) == 0) continue;
    if (!text.empty()) text += ',';
    text += kWeekdayNames[weekday];
  }
  return text;
}

// "*-*-*", "*-*-01" or, counted from the end, "*-*~02,03".
std::string dateText(const CalendarDays& days) {
  if (days.monthDays == 0) return "*-*-*";
  std::string text = days.fromMonthEnd ? "*-*~" : "*-*-";
  bool first = true;
  for (unsigned day = 1; day <= 31; ++day) {
    if ((days.monthDays & dayBit(day)) == 0) continue;
    if (!first) text += ',';
    text += zeroPadded(static_cast<int>(day), 2);
    first = false;
  }
  return text;
}

std::string daysText(const CalendarDays& days) {
  std::string date = dateText(days);
  if (days.weekdays == kEveryWeekday) return date;
  return weekdayText(days.weekdays) + " " + date;
}

// "02,06,10:30:00": the hours that share a minute and second, one text for
// each minute and second in use, earliest first.
std::vector<std::string> timeTexts(std::span<const seconds> secondsOfDay) {
  std::map<seconds, std::string> hoursByTimeInHour;
  for (const seconds second : secondsOfDay) {
    const auto hour = std::chrono::floor<std::chrono::hours>(second);
    std::string& hours = hoursByTimeInHour[second - hour];
    if (!hours.empty()) hours += ',';
    hours += zeroPadded(static_cast<int>(hour.count()), 2);
  }
  std::vector<std::string> texts;
  for (const auto& [timeInHour, hours] : hoursByTimeInHour) {
    const std::chrono::hh_mm_ss clock{timeInHour};
    texts.push_back(hours + ":" + zeroPadded(static_cast<int>(clock.minutes().count()), 2) + ":" +
                    zeroPadded(static_cast<int>(clock.seconds().count()), 2));
  }
  return texts;
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
      return {{kEveryWeekday, dayBit(1), false}};
    case kLastDayOfMonth:
      return {{kEveryWeekday, dayBit(1), true}};
    case kFirstWeekdayOfMonth:
      return monthWeekday(false, kMonday);
    case kLastWeekdayOfMonth:
      return monthWeekday(true, kFriday);
    default:  // "Every day", and any value outside the list
      return {kEveryDayOfMonth};
  }
}

std::vector<std::string> calendarEvents(int daysToRunOn, std::span<const seconds> secondsOfDay) {
  std::vector<std::string> events;
  const std::vector<std::string> times = timeTexts(secondsOfDay);
  for (const CalendarDays& days : calendarDays(daysToRunOn)) {
    for (const std::string& time : times) events.push_back(daysText(days) + " " + time);
  }
  return events;
}

}  // namespace kiv
