#pragma once

#include <optional>
#include <string_view>

namespace kiv {

inline constexpr std::string_view kLaunchTimeFormatMessage = "Enter the time in hh:mm:ss format.";
inline constexpr std::string_view kRecurringZeroMessage =
    "The final digit of the time cannot be 0 for recurring tasks.";

// The check made when the launch-time box loses the focus: nullopt when the
// text is accepted, else the one message to show. The interval character of a
// recurring time is looked at only for "0", so 12:30:?? passes.
std::optional<std::string_view> checkLaunchTime(std::string_view text);

}  // namespace kiv
