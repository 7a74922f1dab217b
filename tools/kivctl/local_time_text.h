#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/local_time.h"

namespace kiv::ctl {

// "2026-12-10 02:00:00": how kivctl reads and writes a local date and time.
std::string dateTimeText(LocalTime time);

// The same form, exactly 19 characters, for a date that exists; nullopt for
// anything else.
std::optional<LocalTime> parseDateTime(std::string_view text);

}  // namespace kiv::ctl
