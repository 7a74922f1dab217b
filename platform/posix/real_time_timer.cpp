#include "posix/real_time_timer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

#include "scheduler/tick_delay.h"

namespace kiv::posix {
namespace {

timespec timespecOf(RealTimeTimer::Clock::time_point time) {
  const auto since = time.time_since_epoch();
  const auto seconds = std::chrono::floor<std::chrono::seconds>(since);
  return {static_cast<time_t>(seconds.count()),
          static_cast<long>(std::chrono::nanoseconds(since - seconds).count())};
}

}  // namespace

RealTimeTimer::RealTimeTimer() : fd_(::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC)) {
  if (!fd_) throw std::system_error(errno, std::generic_category(), "timerfd_create");
}

void RealTimeTimer::arm(Clock::time_point deadline) {
  itimerspec setting{};
  setting.it_value = timespecOf(deadline);
  // A deadline of exactly zero would disarm the timer instead.
  if (setting.it_value.tv_sec == 0 && setting.it_value.tv_nsec == 0) setting.it_value.tv_nsec = 1;
  // A clock set since the last take() refuses the arming once and is then
  // forgotten; the caller reads the clock after arming (armNextTick), which
  // covers that set as well.
  int result = 0;
  do {
    result = ::timerfd_settime(fd_.get(), TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &setting,
                               nullptr);
  } while (result != 0 && errno == ECANCELED);
  if (result != 0) throw std::system_error(errno, std::generic_category(), "timerfd_settime");
}

RealTimeTimer::Clock::time_point RealTimeTimer::armNextTick(
    const std::function<Clock::time_point()>& clock) {
  Clock::time_point deadline = nextTickDeadline(clock());
  arm(deadline);
  // Only a clock set back before the arming can leave the deadline more than
  // a tick ahead: the timer would sleep through the whole step. A clock set
  // forward makes the deadline pass, and the timer fires at once.
  const Clock::time_point after = clock();
  if (deadline - after > std::chrono::seconds{1} + kDeadlineMargin) {
    deadline = nextTickDeadline(after);
    arm(deadline);
  }
  return deadline;
}

RealTimeTimer::Wake RealTimeTimer::take() {
  std::uint64_t expirations = 0;
  ssize_t got = 0;
  do {
    got = ::read(fd_.get(), &expirations, sizeof expirations);
  } while (got < 0 && errno == EINTR);
  if (got == static_cast<ssize_t>(sizeof expirations)) return Wake::Reached;
  return got < 0 && errno == ECANCELED ? Wake::ClockChanged : Wake::None;
}

}  // namespace kiv::posix
