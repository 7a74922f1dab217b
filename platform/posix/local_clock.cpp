#include "posix/local_clock.h"

#include <time.h>

namespace kiv::posix {
namespace {

// The standard library of the build compiler has no time-zone database yet,
// so the C library converts.
ClockReading readingAt(std::time_t instant) {
  std::tm local{};
  ::localtime_r(&instant, &local);
  return {fromCivil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                     local.tm_min, local.tm_sec}),
          std::chrono::seconds{local.tm_gmtoff}};
}

}  // namespace

ClockReading readLocalClock() {
  return readingAt(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
}

std::chrono::seconds SystemLocalZone::utcOffsetAt(std::chrono::sys_seconds instant) const {
  return readingAt(static_cast<std::time_t>(instant.time_since_epoch().count())).utcOffset;
}

}  // namespace kiv::posix
