#pragma once

#include <chrono>

namespace kiv {

// How far past a second boundary a tick is aimed: enough for the clock read
// in the tick to show the new second, small enough to stay close to it.
inline constexpr std::chrono::milliseconds kTickMargin{5};

// The delay for re-arming the single-shot tick timer: from `wallClock` (a
// clock reading in milliseconds since any epoch that starts on a whole second)
// to kTickMargin after the next second boundary. Aiming every tick at the next
// boundary keeps ticks from drifting through the second.
std::chrono::milliseconds delayToNextSecond(std::chrono::milliseconds wallClock);

}  // namespace kiv
