#include "scheduler/second_cursor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiv {
namespace {

using std::chrono::hours;
using std::chrono::seconds;

// 25 October 2026: the night daylight saving ends in much of Europe.
LocalTime at(int h, int m, int s) {
  return fromCivil({2026, 10, 25, h, m, s});
}

std::vector<LocalTime> examined(SecondCursor& cursor, LocalTime reading) {
  const SecondRange range = cursor.advance(reading);
  const std::vector<LocalTime> listed(range.begin(), range.end());
  EXPECT_EQ(range.size(), listed.size());
  EXPECT_EQ(range.empty(), listed.empty());
  return listed;
}

std::vector<LocalTime> run(LocalTime first, LocalTime last) {
  std::vector<LocalTime> listed;
  for (LocalTime s = first; s <= last; s += seconds{1}) listed.push_back(s);
  return listed;
}

struct Step {
  LocalTime reading;
  std::vector<LocalTime> examined;
};

struct Scenario {
  const char* name;
  std::vector<Step> steps;
};

void PrintTo(const Scenario& s, std::ostream* os) {
  *os << s.name;
}

class SecondCursorScenarios : public ::testing::TestWithParam<Scenario> {};

TEST_P(SecondCursorScenarios, ExamineEachSecondOnce) {
  SecondCursor cursor;
  int tick = 0;
  for (const Step& step : GetParam().steps) {
    EXPECT_EQ(examined(cursor, step.reading), step.examined) << "tick " << tick;
    ++tick;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, SecondCursorScenarios,
    ::testing::Values(
        Scenario{"Steady",
                 {{at(10, 0, 0), {at(10, 0, 0)}},
                  {at(10, 0, 1), {at(10, 0, 1)}},
                  {at(10, 0, 2), {at(10, 0, 2)}}}},
        Scenario{"LateTickCatchesUpInOrder",
                 {{at(10, 0, 0), {at(10, 0, 0)}},
                  {at(10, 0, 4), {at(10, 0, 1), at(10, 0, 2), at(10, 0, 3), at(10, 0, 4)}},
                  {at(10, 0, 5), {at(10, 0, 5)}}}},
        Scenario{
            "SecondReadTwice",
            {{at(10, 0, 0), {at(10, 0, 0)}}, {at(10, 0, 0), {}}, {at(10, 0, 1), {at(10, 0, 1)}}}},
        Scenario{"SmallStepBack",
                 {{at(10, 0, 5), {at(10, 0, 5)}},
                  {at(10, 0, 3), {}},
                  {at(10, 0, 4), {}},
                  {at(10, 0, 5), {}},
                  {at(10, 0, 6), {at(10, 0, 6)}}}},
        Scenario{"StepBackThenLateTick",
                 {{at(10, 0, 5), {at(10, 0, 5)}},
                  {at(10, 0, 3), {}},
                  {at(10, 0, 8), {at(10, 0, 6), at(10, 0, 7), at(10, 0, 8)}}}},
        Scenario{"WholeCatchUpWindow",
                 {{at(10, 0, 0), {at(10, 0, 0)}},
                  {at(10, 1, 0), run(at(10, 0, 1), at(10, 1, 0))},
                  {at(10, 2, 1), {at(10, 2, 1)}},
                  {at(10, 2, 2), {at(10, 2, 2)}}}},
        Scenario{"LargeJumpForward",
                 {{at(10, 0, 0), {at(10, 0, 0)}},
                  {at(11, 0, 0), {at(11, 0, 0)}},
                  {at(11, 0, 1), {at(11, 0, 1)}}}},
        Scenario{
            "StepBackAtTheRepeatLimit",
            {{at(12, 0, 0), {at(12, 0, 0)}}, {at(10, 0, 0), {}}, {at(12, 0, 1), {at(12, 0, 1)}}}},
        Scenario{"ClockCorrectedByADay",
                 {{fromCivil({2026, 10, 26, 10, 0, 0}), {fromCivil({2026, 10, 26, 10, 0, 0})}},
                  {at(10, 0, 0), {at(10, 0, 0)}},
                  {at(10, 0, 1), {at(10, 0, 1)}}}},
        Scenario{"ClockSetBackJustPastTheRepeatLimit",
                 {{at(12, 0, 1), {at(12, 0, 1)}},
                  {at(10, 0, 0), {at(10, 0, 0)}},
                  {at(10, 0, 1), {at(10, 0, 1)}}}}));

TEST(SecondCursor, DaylightSavingEndRepeatsNothing) {
  // Clocks go from 03:00:00 back to 02:00:00: the repeated hour and 03:00:00
  // itself were examined already.
  SecondCursor cursor;
  EXPECT_EQ(examined(cursor, at(2, 59, 59)), std::vector{at(2, 59, 59)});
  EXPECT_EQ(examined(cursor, at(3, 0, 0)), std::vector{at(3, 0, 0)});
  for (LocalTime reading = at(2, 0, 0); reading <= at(3, 0, 0); reading += seconds{1}) {
    ASSERT_TRUE(cursor.advance(reading).empty()) << toCivil(reading).minute;
  }
  EXPECT_EQ(examined(cursor, at(3, 0, 1)), std::vector{at(3, 0, 1)});
}

TEST(SecondCursor, DaylightSavingStartIsNotCaughtUp) {
  // Clocks go from 02:00:00 on to 03:00:00: the hour between never happens,
  // and nothing of it is examined.
  SecondCursor cursor;
  EXPECT_EQ(examined(cursor, at(1, 59, 59)), std::vector{at(1, 59, 59)});
  EXPECT_EQ(examined(cursor, at(3, 0, 0)), std::vector{at(3, 0, 0)});
  EXPECT_EQ(examined(cursor, at(3, 0, 1)), std::vector{at(3, 0, 1)});
}

}  // namespace
}  // namespace kiv
