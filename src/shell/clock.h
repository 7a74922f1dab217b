#pragma once

#include <string>

#include "base/local_time.h"
#include "base/local_zone.h"

namespace kiv {

// The clock and the user's regional formats. A reading carries the UTC
// offset of its moment; the zone gives the offset of any moment.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual ClockReading readClock() = 0;
  LocalTime now() { return readClock().local; }
  virtual const LocalZone& localZone() = 0;
  // The user's general date-and-time text: short date, a blank, long time.
  virtual std::string generalDateTime(LocalTime time) = 0;
  // The user's abbreviated month name, month 1 to 12.
  virtual std::string monthAbbreviation(int month) = 0;
};

}  // namespace kiv
