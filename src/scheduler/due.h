#pragma once

#include <string_view>

#include "base/local_time.h"

namespace kiv {

enum class DueVerdict {
  Due,
  NotDue,
  Unusable,  // the text cannot be used at all: the tick skips the task silently
};

// Whether a task with this launch time is due at the clock reading `now`.
// A fixed time is due at its second of the day. A recurring time hh:mm:?n is
// due at second 0 of minute mm in its start hour and in every n-th hour after
// it up to hour 23; unusable when the start hour or n is not a number, or n is 0.
DueVerdict isDue(std::string_view launchAt, LocalTime now);

}  // namespace kiv
