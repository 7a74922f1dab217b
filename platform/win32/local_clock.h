#pragma once

#include <string>

#include "base/local_time.h"
#include "base/local_zone.h"
#include "windows_api.h"

namespace kiv {

// The system clock (UTC) as precisely as Windows reads it: to the moment
// where it can (Windows 8 and later), else as of the last clock interrupt.
FILETIME preciseSystemTime();

// The clock now, from the same reading as preciseSystemTime, as UTC turned
// into local time by the current time zone, with the offset between the two:
// a tick woken by a timer on that clock reads the second the timer was aimed
// at.
ClockReading readLocalClock();

// The rules of the current time zone (SystemTimeToTzSpecificLocalTime).
class Win32LocalZone final : public LocalZone {
 public:
  std::chrono::seconds utcOffsetAt(std::chrono::sys_seconds instant) const override;
};
// The user's general date and time: short date, a blank, long time.
std::string userGeneralDateTime(LocalTime time);
// The user's abbreviated name of month 1 to 12.
std::string userMonthAbbreviation(int month);

}  // namespace kiv
