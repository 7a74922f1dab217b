#pragma once

#include <chrono>
#include <functional>

namespace kiv::testing {

// Both wait until `done` holds or `limit` has passed, and return whether it
// held. The limit only keeps a broken test from hanging.

// For what another thread or process does.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds{30});

// For what this thread's own window does: runs its messages meanwhile, as the
// program's message loop would.
bool pumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds{30});

}  // namespace kiv::testing
