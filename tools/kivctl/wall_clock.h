#pragma once

#include "base/local_time.h"

namespace kiv::ctl {

// The local wall-clock time now, in the system's time zone (from each
// system's os_services.cpp).
LocalTime localNow();

}  // namespace kiv::ctl
