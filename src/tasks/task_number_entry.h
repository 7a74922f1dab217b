#pragma once

#include <optional>
#include <string_view>

namespace kiv {

// Reads a task number typed by the user: a decimal number with blanks around
// it allowed, in 1 to 30. Returns the task index it names, the entry minus
// one rounded to the nearest whole number with halves going to the even one
// ("12.5" names index 12), or nullopt when the entry is not such a number.
std::optional<int> taskIndexFromEntry(std::string_view entry);

}  // namespace kiv
