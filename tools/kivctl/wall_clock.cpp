#include "wall_clock.h"

#include <time.h>

namespace kiv::ctl {

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
