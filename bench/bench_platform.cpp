#include "bench_platform.h"

namespace kiv::bench {

std::string BenchPlatform::generalDateTime(LocalTime time) {
  const CivilTime t = toCivil(time);
  return zeroPadded(t.day, 2) + '/' + zeroPadded(t.month, 2) + '/' + zeroPadded(t.year, 4) + ' ' +
         zeroPadded(t.hour, 2) + ':' + zeroPadded(t.minute, 2) + ':' + zeroPadded(t.second, 2);
}

}  // namespace kiv::bench
