#pragma once

#include <string>

#include "base/local_time.h"

namespace kiv {

// The local wall clock (GetLocalTime), to the second.
LocalTime localNow();
// The user's general date and time: short date, a blank, long time.
std::string userGeneralDateTime(LocalTime time);
// The user's abbreviated name of month 1 to 12.
std::string userMonthAbbreviation(int month);

}  // namespace kiv
