#include <QTest>

#include "scheduler/tick_delay.h"
#include "tick_timer.h"

namespace kiv {
namespace {

// The delay that aims a tick `toBoundary` milliseconds ahead, at the next
// second boundary, just past it.
int aimedPast(int toBoundary) {
  return toBoundary + static_cast<int>(kTickMargin.count());
}

}  // namespace

// The arming of the one-second tick, with a clock the test sets. Nothing here
// waits for the timer: the test runs the ticks itself.
class TickTimerTest : public QObject {
  Q_OBJECT

 private slots:
  void startArmsJustPastTheNextSecond_data();
  void startArmsJustPastTheNextSecond();
  void eachTickRunsTheHandlerAndArmsTheNext();
  void theNextTickIsArmedBeforeTheHandlerRuns();
};

void TickTimerTest::startArmsJustPastTheNextSecond_data() {
  QTest::addColumn<qint64>("clock");
  QTest::addColumn<int>("toBoundary");
  QTest::newRow("a quarter into the second") << qint64{1'765'432'100'250} << 750;
  QTest::newRow("on the boundary") << qint64{1'765'432'100'000} << 1000;
  QTest::newRow("just before the boundary") << qint64{1'765'432'100'999} << 1;
}

void TickTimerTest::startArmsJustPastTheNextSecond() {
  QFETCH(qint64, clock);
  QFETCH(int, toBoundary);
  int ticks = 0;
  TickTimer timer([&ticks] { ++ticks; }, [clock] { return clock; });

  timer.start();

  QVERIFY(timer.timer().isActive());
  QVERIFY(timer.timer().isSingleShot());
  QCOMPARE(timer.timer().timerType(), Qt::PreciseTimer);
  QCOMPARE(timer.timer().interval(), aimedPast(toBoundary));
  QCOMPARE(ticks, 0);
}

void TickTimerTest::eachTickRunsTheHandlerAndArmsTheNext() {
  qint64 clock = 1'765'432'100'250;
  int ticks = 0;
  TickTimer timer([&ticks] { ++ticks; }, [&clock] { return clock; });
  timer.start();

  clock = 1'765'432'101'012;  // the tick came late
  timer.tick();
  QCOMPARE(ticks, 1);
  QVERIFY(timer.timer().isActive());
  QCOMPARE(timer.timer().interval(), aimedPast(988));

  clock = 1'765'432'102'004;
  timer.tick();
  QCOMPARE(ticks, 2);
  QCOMPARE(timer.timer().interval(), aimedPast(996));
}

// A tick may ask a question whose box runs its own event loop; the clock
// must go on while it is open.
void TickTimerTest::theNextTickIsArmedBeforeTheHandlerRuns() {
  const qint64 clock = 1'765'432'101'300;
  TickTimer* ticking = nullptr;
  bool armedDuringTick = false;
  int intervalDuringTick = 0;
  TickTimer timer(
      [&] {
        armedDuringTick = ticking->timer().isActive();
        intervalDuringTick = ticking->timer().interval();
      },
      [clock] { return clock; });
  ticking = &timer;

  timer.tick();

  QVERIFY(armedDuringTick);
  QCOMPARE(intervalDuringTick, aimedPast(700));
}

}  // namespace kiv

QTEST_MAIN(kiv::TickTimerTest)
#include "tick_timer_test.moc"
