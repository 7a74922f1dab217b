#include "tick_timer.h"

#include <QDateTime>
#include <chrono>

#include "scheduler/tick_delay.h"

namespace kiv {

TickTimer::TickTimer(std::function<void()> onTick, Clock clock, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)), clock_(std::move(clock)) {
  timer_.setSingleShot(true);
  // A coarse timer may fire up to 5 % late, which would land some ticks
  // before the boundary they aim past.
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &TickTimer::tick);
}

TickTimer::Clock TickTimer::defaultClock() {
  return [] { return QDateTime::currentMSecsSinceEpoch(); };
}

void TickTimer::start() {
  arm();
}

void TickTimer::tick() {
  arm();
  onTick_();
}

void TickTimer::arm() {
  const std::chrono::milliseconds delay = delayToNextSecond(std::chrono::milliseconds{clock_()});
  timer_.start(delay);
}

}  // namespace kiv
