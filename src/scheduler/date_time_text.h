#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/local_time.h"

namespace kiv {

// "2026-12-10 02:00:00" (the form dateTimeText writes), exactly 19
// characters, for a date that exists; nullopt for anything else.
std::optional<LocalTime> parseDateTime(std::string_view text);

}  // namespace kiv
