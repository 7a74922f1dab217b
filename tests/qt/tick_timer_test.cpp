#include <time.h>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <chrono>

#include <vector>

#include "scheduler/tick_delay.h"
#include "tick_timer.h"

namespace kiv {
namespace {

using Clock = std::chrono::system_clock;
using std::chrono::hours;
using std::chrono::milliseconds;
using std::chrono::seconds;

// A whole second an hour ahead of the real clock: a timer aimed from there
// cannot fire while a test that runs the ticks itself looks at it.
Clock::time_point secondAnHourAhead() {
  return std::chrono::floor<seconds>(Clock::now() + hours{1});
}

// The deadline that aims a tick just past `boundary`.
Clock::time_point aimedPast(Clock::time_point boundary) {
  return boundary + kDeadlineMargin;
}

// Steps the real-time clock by `step`; false when this process may not.
bool stepClock(Clock::duration step) {
  const auto target = Clock::now() + step;
  const auto whole = std::chrono::floor<seconds>(target);
  const timespec set{static_cast<time_t>(whole.time_since_epoch().count()),
                     static_cast<long>(std::chrono::nanoseconds(target - whole).count())};
  return ::clock_settime(CLOCK_REALTIME, &set) == 0;
}

}  // namespace

// The arming of the one-second tick with a clock the test sets, and real
// ticks on the real clock.
class TickTimerTest : public QObject {
  Q_OBJECT

 private slots:
  void startArmsJustPastTheNextSecond_data();
  void startArmsJustPastTheNextSecond();
  void eachTickRunsTheHandlerAndArmsTheNext();
  void theNextTickIsArmedBeforeTheHandlerRuns();
  void realTicksComeAfterTheSecondTheyAimAt();
  void ticksGoOnWhileAHandlerWaitsInItsOwnEventLoop();
  void settingTheClockWakesTheTickAtOnce();
};

void TickTimerTest::startArmsJustPastTheNextSecond_data() {
  QTest::addColumn<int>("intoSecond");  // milliseconds
  QTest::newRow("a quarter into the second") << 250;
  QTest::newRow("on the boundary") << 0;
  QTest::newRow("just before the boundary") << 999;
}

void TickTimerTest::startArmsJustPastTheNextSecond() {
  QFETCH(int, intoSecond);
  const Clock::time_point second = secondAnHourAhead();
  int ticks = 0;
  TickTimer timer([&ticks] { ++ticks; }, [&] { return second + milliseconds{intoSecond}; });

  timer.start();

  QCOMPARE(timer.deadline(), aimedPast(second + seconds{1}));
  QCOMPARE(ticks, 0);
}

void TickTimerTest::eachTickRunsTheHandlerAndArmsTheNext() {
  const Clock::time_point second = secondAnHourAhead();
  Clock::time_point clock = second + milliseconds{250};
  int ticks = 0;
  TickTimer timer([&ticks] { ++ticks; }, [&clock] { return clock; });
  timer.start();

  clock = second + seconds{1} + milliseconds{12};  // the tick came late
  timer.tick();
  QCOMPARE(ticks, 1);
  QCOMPARE(timer.deadline(), aimedPast(second + seconds{2}));

  clock = second + seconds{2} + std::chrono::microseconds{150};
  timer.tick();
  QCOMPARE(ticks, 2);
  QCOMPARE(timer.deadline(), aimedPast(second + seconds{3}));
}

// A tick may ask a question whose box runs its own event loop; the clock
// must go on while it is open.
void TickTimerTest::theNextTickIsArmedBeforeTheHandlerRuns() {
  const Clock::time_point second = secondAnHourAhead();
  TickTimer* ticking = nullptr;
  Clock::time_point deadlineDuringTick{};
  TickTimer timer([&] { deadlineDuringTick = ticking->deadline(); },
                  [second] { return second + milliseconds{300}; });
  ticking = &timer;

  timer.tick();

  QCOMPARE(deadlineDuringTick, aimedPast(second + seconds{1}));
}

// Woken by its deadline, a tick never comes before it, so the clock it reads
// shows the second it was aimed at or a later one. Anything on the machine
// that sets the clock wakes the timer at once, as it should: such a tick may
// read an earlier time, and is told apart by what woke it.
void TickTimerTest::realTicksComeAfterTheSecondTheyAimAt() {
  using Wake = posix::RealTimeTimer::Wake;
  TickTimer* ticking = nullptr;
  Clock::time_point aimedAt{};
  std::vector<Clock::duration> lateByDeadlineTicks;
  TickTimer timer([&] {
    const Clock::time_point now = Clock::now();
    if (ticking->lastWake() == Wake::Reached) lateByDeadlineTicks.push_back(now - aimedAt);
    aimedAt = ticking->deadline();
  });
  ticking = &timer;
  timer.start();
  aimedAt = timer.deadline();
  // Where this process may set the clock, a step there and back wakes the
  // timer long before its deadline, as another program setting it would.
  if (stepClock(milliseconds{-1})) stepClock(milliseconds{1});

  QTRY_VERIFY_WITH_TIMEOUT(lateByDeadlineTicks.size() >= 2, 30'000);
  for (const Clock::duration late : lateByDeadlineTicks) {
    QVERIFY(late >= Clock::duration::zero());
  }
}

// A question opened by a tick runs its own event loop; ticks go on meanwhile.
void TickTimerTest::ticksGoOnWhileAHandlerWaitsInItsOwnEventLoop() {
  int ticks = 0;
  int ticksInsideFirst = 0;
  TickTimer timer([&] {
    if (++ticks > 1) return;
    QEventLoop question;
    QTimer::singleShot(10'000, &question, &QEventLoop::quit);  // a guard, not a measure
    QTimer poll;
    connect(&poll, &QTimer::timeout, &question, [&] {
      if (ticks > 1) question.quit();
    });
    poll.start(10);
    question.exec();
    ticksInsideFirst = ticks - 1;
  });
  timer.start();

  QTRY_VERIFY_WITH_TIMEOUT(ticksInsideFirst > 0, 15'000);
}

// The deadline is an hour away, so only the setting of the clock can wake the
// tick. Setting the clock needs the privilege to (CAP_SYS_TIME); the step is
// a millisecond and is taken back at once.
void TickTimerTest::settingTheClockWakesTheTickAtOnce() {
  int ticks = 0;
  TickTimer timer([&ticks] { ++ticks; }, [] { return Clock::now() + hours{1}; });
  timer.start();
  if (!stepClock(milliseconds{-1})) QSKIP("this process may not set the clock");
  stepClock(milliseconds{1});

  QTRY_COMPARE_WITH_TIMEOUT(ticks, 1, 10'000);
}

}  // namespace kiv

QTEST_MAIN(kiv::TickTimerTest)
#include "tick_timer_test.moc"
