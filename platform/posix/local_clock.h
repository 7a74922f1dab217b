#pragma once

#include "base/local_zone.h"

namespace kiv::posix {

// The local wall clock now, in the system's time zone, with its UTC offset.
ClockReading readLocalClock();

// The rules of the system's time zone (TZ, or /etc/localtime), as the C
// library applies them.
class SystemLocalZone final : public LocalZone {
 public:
  std::chrono::seconds utcOffsetAt(std::chrono::sys_seconds instant) const override;
};

}  // namespace kiv::posix
