#include "scheduler/launch_time.h"

#include <array>
#include <cstddef>

#include "base/decimal_number.h"
#include "base/text_characters.h"

namespace kiv {
namespace {

struct Field {
  std::size_t width;  // fewest digits; none takes more than two
  int largest;
  std::chrono::seconds unit;
};

// Hour, minute and second, separated by colons. Only the hour may be written
// with one digit.
constexpr std::array<Field, 3> kFields{{
    {1, 23, std::chrono::hours{1}},
    {2, 59, std::chrono::minutes{1}},
    {2, 59, std::chrono::seconds{1}},
}};

// The short form hh:mm stops after the minute and stands for its second 0.
constexpr std::size_t kFewestFields = 2;

}  // namespace

bool isRecurring(std::string_view launchAt) {
  return characterAt(launchAt, 6) == "?";
}

RecurringParts recurringParts(std::string_view launchAt) {
  RecurringParts parts;
  parts.startText = leadingCharacters(launchAt, 2);
  parts.minuteText = std::string(characterAt(launchAt, 3)) + std::string(characterAt(launchAt, 4));
  parts.intervalText = lastCharacter(launchAt);
  parts.startHour = shortNumber(parts.startText);
  parts.interval = shortNumber(parts.intervalText);
  return parts;
}

std::optional<int> shortNumber(std::string_view text) {
  return text.size() > 2 ? std::nullopt : decimalNumber(text);
}

std::optional<std::chrono::seconds> parseTimeOfDay(std::string_view text) {
  std::chrono::seconds time{0};
  for (std::size_t index = 0; index < kFields.size(); ++index) {
    const std::size_t colon = text.find(':');
    const std::string_view digits = text.substr(0, colon);
    const std::optional<int> value = shortNumber(digits);
    if (digits.size() < kFields[index].width || !value || *value > kFields[index].largest) {
      return std::nullopt;
    }
    time += kFields[index].unit * *value;
    if (colon == std::string_view::npos) {
      if (index + 1 < kFewestFields) return std::nullopt;
      return time;
    }
    text.remove_prefix(colon + 1);
  }
  return std::nullopt;  // a fourth field
}

}  // namespace kiv
