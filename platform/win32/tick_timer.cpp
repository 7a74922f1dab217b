#include "tick_timer.h"

#include <chrono>

#include "scheduler/tick_delay.h"

namespace kiv {

void TickTimer::arm(HWND window, UINT_PTR id) {
  const std::chrono::system_clock::time_point now = deadline_.armForNextTick();
  const auto sinceEpoch =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
  SetTimer(window, id, static_cast<UINT>(delayToNextSecond(sinceEpoch).count()), nullptr);
}

}  // namespace kiv
