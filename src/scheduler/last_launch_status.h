#pragma once

#include <string>
#include <string_view>

#include "base/local_time.h"

namespace kiv {

enum class LaunchKind { Scheduled, OnDemand };

// "Last launch: task 12 @ 06-Dec-2026 15:04:05 (on demand)": the task number
// as users see it (1 to 30), the launch's date and time with a two-digit day,
// the user's month abbreviation, a four-digit year and a 24-hour clock.
std::string lastLaunchStatus(int taskNumber, LocalTime when, std::string_view monthAbbreviation,
                             LaunchKind kind);

}  // namespace kiv
