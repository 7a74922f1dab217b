#pragma once

#include "windows_api.h"

namespace kiv {

// The window's one-second timer. Each tick is aimed just past the next
// second boundary of the system clock, re-armed at every tick, so no clock
// second is skipped or read twice by drifting ticks.
//
// Two timers carry it. A waitable timer with an absolute due time, which the
// program's message loop waits on: high-resolution where Windows has one
// (Windows 10 1803 and later), so the tick comes right after the boundary; an
// absolute time also follows a clock that is set. And the window's timer, as
// the only one where no waitable timer can be made, and otherwise as the one
// the modal loops of message boxes, dialogs and menus deliver, since they do
// not wait on the waitable timer. Whichever comes first ticks; a second
// read twice examines nothing.
class TickTimer {
 public:
  TickTimer();
  ~TickTimer();
  TickTimer(const TickTimer&) = delete;
  TickTimer& operator=(const TickTimer&) = delete;

  // The waitable timer, signalled at the tick's due time; nullptr without one.
  HANDLE handle() const { return timer_; }

  // Arms both timers for the next tick: the waitable one, and the window's
  // timer `id` of `window`.
  void arm(HWND window, UINT_PTR id);

 private:
  HANDLE timer_;
};

}  // namespace kiv
