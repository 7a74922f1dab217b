#include "tick_timer.h"

namespace kiv {

TickTimer::TickTimer(std::function<void()> onTick, Clock clock, QObject* parent)
    : QObject(parent),
      onTick_(std::move(onTick)),
      clock_(std::move(clock)),
      notifier_(timer_.descriptor(), QSocketNotifier::Read) {
  connect(&notifier_, &QSocketNotifier::activated, this, &TickTimer::wake);
}

void TickTimer::start() {
  deadline_ = timer_.armNextTick(clock_);
}

void TickTimer::tick() {
  deadline_ = timer_.armNextTick(clock_);
  onTick_();
}

// The deadline passed, or the clock was set; a readiness taken already is
// no tick.
void TickTimer::wake() {
  lastWake_ = timer_.take();
  if (lastWake_ != posix::RealTimeTimer::Wake::None) tick();
}

}  // namespace kiv
