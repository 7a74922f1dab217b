#include "scheduler/due.h"

#include <optional>
#include <string>

#include "scheduler/launch_time.h"
#include "scheduler/text_characters.h"

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
bool minuteAndSecondMatch(std::string_view launchAt, const Clock& clock) {
  const std::string pattern =
      std::string(characterAt(launchAt, 3)) + std::string(characterAt(launchAt, 4)) + ":0";
  const std::string reading = zeroPadded(static_cast<int>(clock.minutes().count()), 2) + ":" +
                              std::to_string(clock.seconds().count());
  return pattern == reading;
}

DueVerdict recurringDue(std::string_view launchAt, const Clock& clock) {
  const std::optional<int> startHour = shortNumber(leadingCharacters(launchAt, 2));
  const std::optional<int> interval = shortNumber(lastCharacter(launchAt));
  // Both hour tests are made at every tick, so an interval of 0 makes the task
  // unusable also before its start hour.
  if (!startHour || !interval || *interval == 0) return DueVerdict::Unusable;
  const int hour = static_cast<int>(clock.hours().count());
  if (hour < *startHour || (hour - *startHour) % *interval != 0) return DueVerdict::NotDue;
  return minuteAndSecondMatch(launchAt, clock) ? DueVerdict::Due : DueVerdict::NotDue;
}

}  // namespace

DueVerdict isDue(std::string_view launchAt, LocalTime now) {
  const std::chrono::seconds timeOfDay = now - std::chrono::floor<std::chrono::days>(now);
  if (isRecurring(launchAt)) return recurringDue(launchAt, Clock{timeOfDay});
  return fixedDue(launchAt, timeOfDay);
}

}  // namespace kiv
