#include "scheduler/daily_candidates.h"

#include <optional>

#include "scheduler/launch_time.h"

namespace kiv {
namespace {

constexpr int kLastHour = 23;
constexpr int kLastMinute = 59;

std::string quotedText(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

DailyCandidates fixedCandidates(std::string_view launchAt) {
  const std::optional<std::chrono::seconds> time = parseTimeOfDay(launchAt);
  if (!time) return "its launch time " + quotedText(launchAt) + " is not a time of day";
  return std::vector<std::chrono::seconds>{*time};
}

// The due test compares the minute as text with the clock's two digits, so
// only two digits 00 to 59 can ever match.
std::optional<int> recurringMinute(std::string_view text) {
  const std::optional<int> minute = shortNumber(text);
  if (text.size() != 2 || !minute || *minute > kLastMinute) return std::nullopt;
  return minute;
}

DailyCandidates recurringCandidates(std::string_view launchAt) {
  const RecurringParts parts = recurringParts(launchAt);
  const std::optional<int> minute = recurringMinute(parts.minuteText);
  if (!parts.startHour) return "its start hour " + quotedText(parts.startText) + " is not a number";
  if (!parts.interval) return "its interval " + quotedText(parts.intervalText) + " is not a digit";
  if (!parts.usable()) return std::string("its interval is 0 hours");
  if (*parts.startHour > kLastHour) {
    return "its start hour " + std::to_string(*parts.startHour) + " is past 23";
  }
  if (!minute) {
    return "its minute " + quotedText(parts.minuteText) + " is not two digits 00 to 59";
  }
  std::vector<std::chrono::seconds> seconds;
  for (int hour = *parts.startHour; hour <= kLastHour; hour += *parts.interval) {
    seconds.emplace_back(std::chrono::hours{hour} + std::chrono::minutes{*minute});
  }
  return seconds;
}

}  // namespace

DailyCandidates dailyCandidates(std::string_view launchAt) {
  return isRecurring(launchAt) ? recurringCandidates(launchAt) : fixedCandidates(launchAt);
}

}  // namespace kiv
