#include "scheduler/due.h"

#include <optional>
#include <string>

#include "scheduler/launch_time.h"

namespace kiv {
namespace {

using Clock = std::chrono::hh_mm_ss<std::chrono::seconds>;

DueVerdict fixedDue(std::string_view launchAt, std::chrono::seconds timeOfDay) {
  const std::optional<std::chrono::seconds> launch = parseTimeOfDay(launchAt);
  if (!launch) return DueVerdict::Unusable;
  return *launch == timeOfDay ? DueVerdict::Due : DueVerdict::NotDue;
}

// The pattern's minute with ":0" against the clock's two-digit minute, ":" and
// its second without a leading zero, compared as texts: so the minute must
// match digit for digit (" 5" never matches minute 5) and the second must be 0.
bool minuteAndSecondMatch(const RecurringParts& parts, const Clock& clock) {
  const std::string pattern = parts.minuteText + ":0";
  const std::string reading = zeroPadded(static_cast<int>(clock.minutes().count()), 2) + ":" +
                              std::to_string(clock.seconds().count());
  return pattern == reading;
}

DueVerdict recurringDue(std::string_view launchAt, const Clock& clock) {
  const RecurringParts parts = recurringParts(launchAt);
  // Both hour tests are made at every tick, so an interval of 0 makes the task
  // unusable also before its start hour.
  if (!parts.usable()) return DueVerdict::Unusable;
  const int hour = static_cast<int>(clock.hours().count());
  if (hour < *parts.startHour || (hour - *parts.startHour) % *parts.interval != 0) {
    return DueVerdict::NotDue;
  }
  return minuteAndSecondMatch(parts, clock) ? DueVerdict::Due : DueVerdict::NotDue;
}

}  // namespace

DueVerdict isDue(std::string_view launchAt, LocalTime now) {
  const std::chrono::seconds timeOfDay = now - std::chrono::floor<std::chrono::days>(now);
  if (isRecurring(launchAt)) return recurringDue(launchAt, Clock{timeOfDay});
  return fixedDue(launchAt, timeOfDay);
}

}  // namespace kiv
