#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <chrono>
#include <functional>

#include "posix/real_time_timer.h"

namespace kiv {

// The window's one-second timer. Each tick is aimed just past the next
// second boundary of the real-time clock with an absolute deadline, so it
// wakes right after the second begins and no clock second is skipped or read
// twice by drifting ticks. Setting the clock wakes it at once: the tick then
// reads the new time, and the core decides which seconds that examines.
class TickTimer : public QObject {
  Q_OBJECT

 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;

  explicit TickTimer(std::function<void()> onTick, Clock clock = std::chrono::system_clock::now,
                     QObject* parent = nullptr);

  // Arms the first tick.
  void start();
  // Runs one tick: arms the next, then runs the handler. Armed first, so a
  // question the tick asks does not hold the clock up while it is open.
  void tick();

  // The deadline of the tick armed last.
  std::chrono::system_clock::time_point deadline() const { return deadline_; }
  // What woke the timer last: its deadline, or a setting of the clock, after
  // which the tick may read a time before the deadline it was aimed at.
  posix::RealTimeTimer::Wake lastWake() const { return lastWake_; }

 private:
  void wake();

  std::function<void()> onTick_;
  Clock clock_;
  posix::RealTimeTimer timer_;
  QSocketNotifier notifier_;
  std::chrono::system_clock::time_point deadline_{};
  posix::RealTimeTimer::Wake lastWake_ = posix::RealTimeTimer::Wake::None;
};

}  // namespace kiv
