#pragma once

#include <QObject>
#include <QTimer>
#include <QtGlobal>
#include <functional>

namespace kiv {

// The window's one-second timer. Each tick is aimed just past the next
// second boundary of the wall clock, so no clock second is skipped or read
// twice by drifting ticks.
class TickTimer : public QObject {
  Q_OBJECT

 public:
  // Milliseconds since the epoch.
  using Clock = std::function<qint64()>;

  explicit TickTimer(std::function<void()> onTick, Clock clock = defaultClock(),
                     QObject* parent = nullptr);

  // Arms the first tick.
  void start();
  // Runs one tick: arms the next, then runs the handler. Armed first, so a
  // question the tick asks does not hold the clock up while it is open.
  void tick();

  const QTimer& timer() const { return timer_; }

 private:
  static Clock defaultClock();
  void arm();

  std::function<void()> onTick_;
  Clock clock_;
  QTimer timer_;
};

}  // namespace kiv
