#include "scheduler/launch_time_check.h"

#include "base/text_characters.h"
#include "scheduler/launch_time.h"

namespace kiv {
namespace {

constexpr std::size_t kLaunchTimeLength = 8;

bool isWellFormedRecurring(std::string_view text) {
  return isRecurring(text) && parseTimeOfDay(leadingCharacters(text, 5)).has_value();
}

}  // namespace

std::optional<std::string_view> checkLaunchTime(std::string_view text) {
  if (characterCount(text) != kLaunchTimeLength ||
      (!parseTimeOfDay(text) && !isWellFormedRecurring(text))) {
    return kLaunchTimeFormatMessage;
  }
  if (isRecurring(text) && lastCharacter(text) == "0") return kRecurringZeroMessage;
  return std::nullopt;
}

}  // namespace kiv
