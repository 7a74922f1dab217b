#pragma once

#include "windows_api.h"

#include "tick_deadline_timer.h"

namespace kiv {

// The window's one-second timer, aimed just past the next second boundary of
// the system clock and re-armed at every tick.
//
// Two timers carry it. The waitable tick deadline timer, which the program's
// message loop waits on. And the window's timer, as the only one where no
// waitable timer can be made, and otherwise as the one the modal loops of
// message boxes, dialogs and menus deliver, since they do not wait on the
// waitable timer. Whichever comes first ticks; a second read twice examines
// nothing.
class TickTimer {
 public:
  // The waitable timer, signalled at the tick's due time; nullptr without one.
  HANDLE handle() const { return deadline_.handle(); }

  // Arms both timers for the next tick: the waitable one, and the window's
  // timer `id` of `window`.
  void arm(HWND window, UINT_PTR id);

 private:
  TickDeadlineTimer deadline_;
};

}  // namespace kiv
