#pragma once

#include <optional>

#include "base/result.h"

namespace kiv::testing {

// The reason a Result<void, E> gives, or nullopt for a success: compared
// with EXPECT_EQ, a failure shows its reason.
template <typename E>
std::optional<E> failureOf(const Result<void, E>& result) {
  if (result) return std::nullopt;
  return result.error();
}

}  // namespace kiv::testing
