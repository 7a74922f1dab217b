#pragma once

#include <string>

#include "shell/local_time.h"
#include "windows_api.h"

namespace kiv {

// The system clock (UTC) as precisely as Windows reads it: to the moment
// where it can (Windows 8 and later), else as of the last clock interrupt.
FILETIME preciseSystemTime();
// The local wall clock, to the second, from the same reading: a tick woken by
// a timer on that clock reads the second the timer was aimed at.
LocalTime localNow();
// The user's general date and time: short date, a blank, long time.
std::string userGeneralDateTime(LocalTime time);
// The user's abbreviated name of month 1 to 12.
std::string userMonthAbbreviation(int month);

}  // namespace kiv
