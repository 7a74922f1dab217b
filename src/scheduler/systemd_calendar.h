#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kiv {

// A set of days as one calendar event of a systemd timer can name it: some
// weekdays, on every day of the month or only on the listed days of it,
// counted from its start (1 is the 1st) or from its end (1 is the last day).
struct CalendarDays {
  std::uint8_t weekdays = 0;    // bit n for weekday n, Sunday 0 to Saturday 6
  std::uint32_t monthDays = 0;  // bit n for the n-th day; none: every day
  bool fromMonthEnd = false;

  friend bool operator==(const CalendarDays&, const CalendarDays&) = default;
};

inline constexpr std::uint8_t kEveryWeekday = 0x7F;

// The days that the day pattern `daysToRunOn` allows, as the union of one or
// more sets: the same days dayRuleAllows allows, pattern for pattern (values
// outside 0-13 allow every day there too).
std::vector<CalendarDays> calendarDays(int daysToRunOn);

// The calendar events ("OnCalendar=" values) of a systemd timer that elapses
// exactly at `secondsOfDay` (the seconds of a day at which the tick starts a
// task, as launchSecondsOfDay gives them) on the days `daysToRunOn` allows:
// one event for each set of days and each minute and second of the hour, the
// hours listed, as in "Mon,Tue,Wed,Thu,Fri *-*-01 02,06,10:30:00".
std::vector<std::string> calendarEvents(int daysToRunOn,
                                        std::span<const std::chrono::seconds> secondsOfDay);

}  // namespace kiv
