#pragma once

#include <chrono>

#include "base/local_time.h"

namespace kiv::ctl {

// One reading of the system clock: milliseconds since the epoch, which starts
// on a whole second, for aiming ticks at second boundaries.
std::chrono::milliseconds wallClockMilliseconds();

// The local wall-clock time now, in the system's time zone (from each
// system's os_services.cpp).
LocalTime localNow();

}  // namespace kiv::ctl
