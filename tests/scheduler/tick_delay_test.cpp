#include "scheduler/tick_delay.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

using std::chrono::milliseconds;

TEST(DelayToNextSecond, AimsJustPastTheNextBoundary) {
  struct Case {
    milliseconds reading;
    milliseconds toBoundary;
  };
  const Case cases[] = {
      {milliseconds{1'000'300}, milliseconds{700}},   // mid-second
      {milliseconds{1'000'000}, milliseconds{1000}},  // on a boundary: the next one
      {milliseconds{1'000'999}, milliseconds{1}},     // just before a boundary
      {milliseconds{1'000'020}, milliseconds{980}},   // a late tick is pulled back
      {milliseconds{0}, milliseconds{1000}},
      {milliseconds{-300}, milliseconds{300}},  // before the epoch
  };
  for (const Case& c : cases) {
    EXPECT_EQ(delayToNextSecond(c.reading), c.toBoundary + kTickMargin) << c.reading.count();
  }
}

TEST(DelayToNextSecond, EveryReadingLandsOnTheMarginPastTheNextSecond) {
  for (milliseconds reading{5'000'000}; reading < milliseconds{5'002'000}; ++reading) {
    const milliseconds arrival = reading + delayToNextSecond(reading);
    EXPECT_EQ(arrival % std::chrono::seconds{1}, kTickMargin) << reading.count();
    EXPECT_GT(arrival - kTickMargin, reading) << reading.count();
    EXPECT_LE(arrival - kTickMargin - reading, std::chrono::seconds{1}) << reading.count();
  }
}

TEST(NextTickDeadline, AimsJustPastTheNextBoundary) {
  using std::chrono::microseconds;
  using std::chrono::seconds;
  using std::chrono::system_clock;
  const system_clock::time_point second{seconds{1'796'000'000}};
  struct Case {
    system_clock::duration intoSecond;
    system_clock::time_point deadline;
  };
  const Case cases[] = {
      {milliseconds{300}, second + seconds{1} + kDeadlineMargin},  // mid-second
      {milliseconds{0}, second + seconds{1} + kDeadlineMargin},    // on a boundary: the next one
      {microseconds{999'999}, second + seconds{1} + kDeadlineMargin},
      // Woken just past the boundary it aimed at: the one after.
      {kDeadlineMargin + microseconds{30}, second + seconds{1} + kDeadlineMargin},
      {-microseconds{1}, second + kDeadlineMargin},  // a hair before the boundary: that one
  };
  for (const Case& c : cases) {
    EXPECT_EQ(nextTickDeadline(second + c.intoSecond), c.deadline) << c.intoSecond.count();
  }
  EXPECT_EQ(nextTickDeadline(system_clock::time_point{} - milliseconds{300}),
            system_clock::time_point{} + kDeadlineMargin);  // before the epoch
}

}  // namespace
}  // namespace kiv
