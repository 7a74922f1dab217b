#include "scheduler/date_time_text.h"

#include "base/decimal_number.h"
#include "scheduler/launch_time.h"

namespace kiv {
namespace {

constexpr std::size_t kDateLength = 10;  // YYYY-MM-DD
constexpr std::size_t kTextLength = 19;  // YYYY-MM-DD hh:mm:ss

std::optional<std::chrono::local_days> parseDate(std::string_view text) {
  if (text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto year = decimalNumber(text.substr(0, 4));
  const auto month = decimalNumber(text.substr(5, 2));
  const auto day = decimalNumber(text.substr(8, 2));
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
