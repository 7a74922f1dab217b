#pragma once

#include <chrono>

#include "shell/local_time.h"

namespace kiv::ctl {

// The local wall-clock time now, in the system's time zone.
LocalTime localNow();

}  // namespace kiv::ctl
