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

}  // namespace
}  // namespace kiv
