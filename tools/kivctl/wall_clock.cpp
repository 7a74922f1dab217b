#include "wall_clock.h"

#include <time.h>

namespace kiv::ctl {

std::chrono::milliseconds wallClockMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::system_clock::now().time_since_epoch());
}

// The standard library of the build compiler has no time-zone database yet,
// so the C library converts.
LocalTime localNow() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  ::localtime_r(&now, &local);
  return fromCivil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec});
}

}  // namespace kiv::ctl
