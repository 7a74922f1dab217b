#include "posix/real_time_timer.h"

#include <poll.h>
#include <sys/timerfd.h>
#include <time.h>

#include <gtest/gtest.h>

#include <cerrno>

#include "scheduler/tick_delay.h"

namespace kiv {
namespace {

using Clock = posix::RealTimeTimer::Clock;
using Wake = posix::RealTimeTimer::Wake;
using std::chrono::hours;
using std::chrono::milliseconds;
using std::chrono::seconds;

// Waits up to `patience` for the descriptor; a guard against a hang, not a
// measure of speed.
bool becomesReadable(int fd, milliseconds patience) {
  pollfd ready{fd, POLLIN, 0};
  return ::poll(&ready, 1, static_cast<int>(patience.count())) == 1;
}

// The time left until the armed deadline, as the kernel sees it.
Clock::duration timeLeft(const posix::RealTimeTimer& timer) {
  itimerspec setting{};
  ::timerfd_gettime(timer.descriptor(), &setting);
  return seconds{setting.it_value.tv_sec} + std::chrono::nanoseconds{setting.it_value.tv_nsec};
}

// Steps the real-time clock by `step`; false when this process may not set it.
bool stepClock(Clock::duration step) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const auto target = seconds{now.tv_sec} + std::chrono::nanoseconds{now.tv_nsec} + step;
  const auto whole = std::chrono::floor<seconds>(target);
  const timespec set{static_cast<time_t>(whole.count()),
                     static_cast<long>(std::chrono::nanoseconds(target - whole).count())};
  return ::clock_settime(CLOCK_REALTIME, &set) == 0;
}

TEST(RealTimeTimer, ArmsTheNextTickJustPastTheNextSecond) {
  // An hour ahead, so that the timer cannot fire while the test looks at it.
  const Clock::time_point reading =
      std::chrono::floor<seconds>(Clock::now() + hours{1}) + milliseconds{250};
  posix::RealTimeTimer timer;

  const Clock::time_point deadline = timer.armNextTick([reading] { return reading; });

  EXPECT_EQ(deadline, std::chrono::floor<seconds>(reading) + seconds{1} + kDeadlineMargin);
  const Clock::duration left = timeLeft(timer);
  EXPECT_GT(left, hours{1} - seconds{2});
  EXPECT_LT(left, hours{1} + seconds{2});
  // Woken, if at all, by a time service setting the clock meanwhile.
  EXPECT_NE(timer.take(), Wake::Reached);
}

// A deadline is never reached early: once the timer has fired, the clock
// reads the deadline or later, so a tick always reads the new second.
TEST(RealTimeTimer, FiresAtTheDeadlineNeverBefore) {
  posix::RealTimeTimer timer;
  for (int round = 0; round < 3; ++round) {
    const Clock::time_point deadline = Clock::now() + milliseconds{30};
    timer.arm(deadline);
    ASSERT_TRUE(becomesReadable(timer.descriptor(), seconds{10}));
    const Clock::time_point woken = Clock::now();
    const Wake wake = timer.take();
    // A time service setting the clock meanwhile makes the round tell nothing.
    if (wake == Wake::ClockChanged) continue;
    EXPECT_EQ(wake, Wake::Reached);
    EXPECT_GE(woken, deadline);
    EXPECT_EQ(timer.take(), Wake::None);
  }
}

// Re-armed before it fires, only the new deadline counts.
TEST(RealTimeTimer, ArmingAgainReplacesTheDeadline) {
  posix::RealTimeTimer timer;
  timer.arm(Clock::now() + milliseconds{20});
  timer.arm(Clock::now() + hours{1});
  becomesReadable(timer.descriptor(), milliseconds{100});
  // Woken, if at all, by a time service setting the clock meanwhile.
  EXPECT_NE(timer.take(), Wake::Reached);
}

// Setting the clock, forward or back, wakes the timer at once, though its
// deadline is an hour away; the next tick is then aimed from the new time.
// Setting the clock needs the privilege to (CAP_SYS_TIME); the steps are a
// millisecond, and each is taken back at once.
TEST(RealTimeTimer, SettingTheClockWakesItAtOnce) {
  for (const milliseconds step : {milliseconds{1}, milliseconds{-1}}) {
    SCOPED_TRACE(step.count());
    posix::RealTimeTimer timer;
    timer.armNextTick([] { return Clock::now() + hours{1}; });
    if (!stepClock(step)) GTEST_SKIP() << "this process may not set the clock";
    const bool woken = becomesReadable(timer.descriptor(), seconds{10});
    stepClock(-step);
    ASSERT_TRUE(woken);
    EXPECT_EQ(timer.take(), Wake::ClockChanged);

    const Clock::time_point deadline = timer.armNextTick([] { return Clock::now(); });
    EXPECT_LE(deadline - Clock::now(), seconds{1} + kDeadlineMargin);
    EXPECT_LT(timeLeft(timer), seconds{2});
  }
}

// A clock set back after the deadline was computed and before it was armed
// would have the timer sleep through the step; arming reads the clock again
// and aims from there.
TEST(RealTimeTimer, AClockSetBackWhileArmingIsCaught) {
  const Clock::time_point now = Clock::now();
  int reads = 0;
  // The first reading is an hour ahead, as if the clock went back an hour
  // right after it.
  const auto clock = [&] { return ++reads == 1 ? now + hours{1} : Clock::now(); };
  posix::RealTimeTimer timer;

  const Clock::time_point deadline = timer.armNextTick(clock);

  EXPECT_LT(deadline - now, seconds{2});
  EXPECT_LT(timeLeft(timer), seconds{2});
}

}  // namespace
}  // namespace kiv
