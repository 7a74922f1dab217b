#pragma once

#include <chrono>

namespace kiv {

// Whether the day pattern `daysToRunOn` (the index in the days list, 0 to 13)
// lets a due task launch on `date`. Values outside 0-13 allow every day, as
// "Every day" does. No holidays are considered.
bool dayRuleAllows(int daysToRunOn, std::chrono::local_days date);

}  // namespace kiv
