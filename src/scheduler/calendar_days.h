#pragma once

#include <cstdint>
#include <vector>

namespace kiv {

// A set of calendar days: some weekdays, on every day of the month or only on
// the listed days of it, counted from its start (1 is the 1st) or from its end
// (1 is the last day). Every export target writes its own calendar from it.
struct CalendarDays {
  std::uint8_t weekdays = 0;    // bit n for weekday n, Sunday 0 to Saturday 6
  std::uint32_t monthDays = 0;  // bit n for the n-th day; none: every day
  bool fromMonthEnd = false;

  friend bool operator==(const CalendarDays&, const CalendarDays&) = default;
};

inline constexpr std::uint8_t kEveryWeekday = 0x7F;

constexpr std::uint8_t weekdayBit(unsigned weekday) {
  return static_cast<std::uint8_t>(1U << weekday);
}

constexpr std::uint32_t monthDayBit(unsigned day) {
  return 1U << day;
}

// The days that the day pattern `daysToRunOn` allows, as the union of one or
// more sets: the same days dayRuleAllows allows, pattern for pattern (values
// outside 0-13 allow every day there too).
std::vector<CalendarDays> calendarDays(int daysToRunOn);

}  // namespace kiv
