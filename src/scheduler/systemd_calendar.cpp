#include "scheduler/systemd_calendar.h"

#include <array>
#include <map>
#include <string_view>

#include "base/local_time.h"

namespace kiv {
namespace {

using std::chrono::seconds;

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
    if ((days.monthDays & monthDayBit(day)) == 0) continue;
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

std::vector<std::string> calendarEvents(std::span<const CalendarDays> daySets,
                                        std::span<const seconds> secondsOfDay) {
  std::vector<std::string> events;
  const std::vector<std::string> times = timeTexts(secondsOfDay);
  for (const CalendarDays& days : daySets) {
    for (const std::string& time : times) events.push_back(daysText(days) + " " + time);
  }
  return events;
}

}  // namespace kiv
