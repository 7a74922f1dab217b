#include "scheduler/date_time_text.h"

#include "scheduler/launch_time.h"

namespace kiv {
namespace {

constexpr std::size_t kDateLength = 10;  // YYYY-MM-DD
constexpr std::size_t kTextLength = 19;  // YYYY-MM-DD hh:mm:ss

// Only decimal digits, all of them.
std::optional<int> digits(std::string_view text) {
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<std::chrono::local_days> parseDate(std::string_view text) {
  if (text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto year = digits(text.substr(0, 4));
  const auto month = digits(text.substr(5, 2));
  const auto day = digits(text.substr(8, 2));
  if (!year || !month || !day) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year{*year},
                                         std::chrono::month{static_cast<unsigned>(*month)},
                                         std::chrono::day{static_cast<unsigned>(*day)}};
  if (!date.ok()) return std::nullopt;
  return std::chrono::local_days{date};
}

}  // namespace

std::optional<LocalTime> parseDateTime(std::string_view text) {
  if (text.size() != kTextLength || text[kDateLength] != ' ') return std::nullopt;
  const auto date = parseDate(text.substr(0, kDateLength));
  // The time of day is read by the launch-time parser; at eight characters it
  // takes only hh:mm:ss.
  const auto timeOfDay = parseTimeOfDay(text.substr(kDateLength + 1));
  if (!date || !timeOfDay) return std::nullopt;
  return *date + *timeOfDay;
}

}  // namespace kiv
