#pragma once

#include <chrono>

namespace kiv {

// How far past a second boundary a tick is aimed: enough for the clock read
// in the tick to show the new second, small enough that a launch follows its
// due second closely. A tick that still fires early reads the old second,
// examines nothing, and is re-armed for the boundary just ahead.
inline constexpr std::chrono::milliseconds kTickMargin{1};

// The delay for re-arming the single-shot tick timer: from `wallClock` (a
// clock reading in milliseconds since any epoch that starts on a whole second)
// to kTickMargin after the next second boundary. Aiming every tick at the next
// boundary keeps ticks from drifting through the second.
std::chrono::milliseconds delayToNextSecond(std::chrono::milliseconds wallClock);

// How far past a second boundary a tick is aimed when the timer takes an
// absolute time on the real-time clock. Such a timer never fires before its
// time; the margin is for a clock reading that lags the timer's own clock a
// little, and it is small enough to stay far below what a launch costs.
inline constexpr std::chrono::microseconds kDeadlineMargin{100};

// The absolute time of the next tick after the real-time clock read `now`:
// kDeadlineMargin after the next second boundary. A reading exactly on a
// boundary aims at the one after it, as delayToNextSecond does.
std::chrono::system_clock::time_point nextTickDeadline(std::chrono::system_clock::time_point now);

}  // namespace kiv
