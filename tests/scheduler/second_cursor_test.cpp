#include "scheduler/second_cursor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/zone_rules.h"

namespace kiv {
namespace {

using std::chrono::hours;
using std::chrono::seconds;

// 25 October 2026: the night daylight saving ends in much of Europe.
LocalTime october25(int h, int m, int s) {
  return fromCivil({2026, 10, 25, h, m, s});
}

std::vector<LocalTime> listed(const SecondRange& range) {
  const std::vector<LocalTime> seconds(range.begin(), range.end());
  EXPECT_EQ(range.size(), seconds.size());
  EXPECT_EQ(range.empty(), seconds.empty());
  return seconds;
}

// The seconds examined at a reading of a clock whose offset never changes.
std::vector<LocalTime> examined(SecondCursor& cursor, LocalTime reading) {
  const CursorStep step = cursor.advance({reading, seconds{0}}, FixedZone{});
  EXPECT_TRUE(step.skipped.empty());
  EXPECT_TRUE(step.examineAfterSkip.empty());
  return listed(step.examine);
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
                 {{october25(10, 0, 0), {october25(10, 0, 0)}},
                  {october25(10, 0, 1), {october25(10, 0, 1)}},
                  {october25(10, 0, 2), {october25(10, 0, 2)}}}},
        Scenario{
            "LateTickCatchesUpInOrder",
            {{october25(10, 0, 0), {october25(10, 0, 0)}},
             {october25(10, 0, 4),
              {october25(10, 0, 1), october25(10, 0, 2), october25(10, 0, 3), october25(10, 0, 4)}},
             {october25(10, 0, 5), {october25(10, 0, 5)}}}},
        Scenario{"SecondReadTwice",
                 {{october25(10, 0, 0), {october25(10, 0, 0)}},
                  {october25(10, 0, 0), {}},
                  {october25(10, 0, 1), {october25(10, 0, 1)}}}},
        Scenario{"SmallStepBack",
                 {{october25(10, 0, 5), {october25(10, 0, 5)}},
                  {october25(10, 0, 3), {}},
                  {october25(10, 0, 4), {}},
                  {october25(10, 0, 5), {}},
                  {october25(10, 0, 6), {october25(10, 0, 6)}}}},
        Scenario{"StepBackThenLateTick",
                 {{october25(10, 0, 5), {october25(10, 0, 5)}},
                  {october25(10, 0, 3), {}},
                  {october25(10, 0, 8),
                   {october25(10, 0, 6), october25(10, 0, 7), october25(10, 0, 8)}}}},
        Scenario{"WholeCatchUpWindow",
                 {{october25(10, 0, 0), {october25(10, 0, 0)}},
                  {october25(10, 1, 0), run(october25(10, 0, 1), october25(10, 1, 0))},
                  {october25(10, 2, 1), {october25(10, 2, 1)}},
                  {october25(10, 2, 2), {october25(10, 2, 2)}}}},
        Scenario{"LargeJumpForward",
                 {{october25(10, 0, 0), {october25(10, 0, 0)}},
                  {october25(11, 0, 0), {october25(11, 0, 0)}},
                  {october25(11, 0, 1), {october25(11, 0, 1)}}}},
        Scenario{"StepBackAtTheRepeatLimit",
                 {{october25(12, 0, 0), {october25(12, 0, 0)}},
                  {october25(10, 0, 0), {}},
                  {october25(12, 0, 1), {october25(12, 0, 1)}}}},
        Scenario{"ClockCorrectedByADay",
                 {{fromCivil({2026, 10, 26, 10, 0, 0}), {fromCivil({2026, 10, 26, 10, 0, 0})}},
                  {october25(10, 0, 0), {october25(10, 0, 0)}},
                  {october25(10, 0, 1), {october25(10, 0, 1)}}}},
        Scenario{"ClockSetBackJustPastTheRepeatLimit",
                 {{october25(12, 0, 1), {october25(12, 0, 1)}},
                  {october25(10, 0, 0), {october25(10, 0, 0)}},
                  {october25(10, 0, 1), {october25(10, 0, 1)}}}}));

TEST(SecondCursor, DaylightSavingEndRepeatsNothing) {
  // Clocks go from 03:00:00 back to 02:00:00: the repeated hour and 03:00:00
  // itself were examined already.
  SecondCursor cursor;
  EXPECT_EQ(examined(cursor, october25(2, 59, 59)), std::vector{october25(2, 59, 59)});
  EXPECT_EQ(examined(cursor, october25(3, 0, 0)), std::vector{october25(3, 0, 0)});
  for (LocalTime reading = october25(2, 0, 0); reading <= october25(3, 0, 0);
       reading += seconds{1}) {
    ASSERT_TRUE(examined(cursor, reading).empty()) << toCivil(reading).minute;
  }
  EXPECT_EQ(examined(cursor, october25(3, 0, 1)), std::vector{october25(3, 0, 1)});
}

TEST(SecondCursor, AJumpWithoutAChangeOfOffsetIsMissedNotCaughtUp) {
  // Clocks go from 02:00:00 on to 03:00:00 and the offset says nothing
  // changed: the clock was set forward, or the machine slept. The hour between
  // is handed out as missed, and nothing of it is examined.
  SecondCursor cursor;
  EXPECT_EQ(examined(cursor, october25(1, 59, 59)), std::vector{october25(1, 59, 59)});
  const CursorStep jump = cursor.advance({october25(3, 0, 0), seconds{0}}, FixedZone{});
  EXPECT_EQ(listed(jump.examine), std::vector{october25(3, 0, 0)});
  EXPECT_EQ(jump.missed, SecondRange::inclusive(october25(2, 0, 0), october25(2, 59, 59)));
  EXPECT_EQ(examined(cursor, october25(3, 0, 1)), std::vector{october25(3, 0, 1)});
}

TEST(SecondCursor, ALateTickWithinTheWindowMissesNothing) {
  SecondCursor cursor;
  cursor.advance({october25(10, 0, 0), seconds{0}}, FixedZone{});
  EXPECT_TRUE(cursor.advance({october25(10, 1, 0), seconds{0}}, FixedZone{}).missed.empty());
  const CursorStep late = cursor.advance({october25(10, 2, 1), seconds{0}}, FixedZone{});
  EXPECT_EQ(late.missed, SecondRange::inclusive(october25(10, 1, 1), october25(10, 2, 0)));
}

// Readings of a clock in a zone, at UTC instants: the local time and offset
// the zone's clock shows.
ClockReading readingAt(const LocalZone& zone, std::chrono::sys_seconds instant) {
  const seconds offset = zone.utcOffsetAt(instant);
  return {LocalTime{instant.time_since_epoch() + offset}, offset};
}

LocalTime local(int month, int day, int h, int m, int s) {
  return fromCivil({2027, month, day, h, m, s});
}

struct OffsetChangeCase {
  const char* name;
  const LocalZone* zone;
  std::chrono::sys_seconds before;  // the reading before the change
  seconds late;                     // how long after it the next tick reads the clock
  std::vector<LocalTime> examine;
  SecondRange skipped;
  std::vector<LocalTime> examineAfterSkip;
};

void PrintTo(const OffsetChangeCase& c, std::ostream* os) {
  *os << c.name;
}

class SecondCursorOffsetChanges : public ::testing::TestWithParam<OffsetChangeCase> {};

TEST_P(SecondCursorOffsetChanges, PlaceTheChangeFromTheZone) {
  const OffsetChangeCase& c = GetParam();
  SecondCursor cursor;
  cursor.advance(readingAt(*c.zone, c.before), *c.zone);
  const CursorStep step = cursor.advance(readingAt(*c.zone, c.before + c.late), *c.zone);
  EXPECT_TRUE(step.missed.empty());
  EXPECT_EQ(listed(step.examine), c.examine);
  EXPECT_EQ(step.skipped, c.skipped);
  EXPECT_EQ(listed(step.examineAfterSkip), c.examineAfterSkip);
}

using testing::berlin2027;
using testing::newYork2027;
using testing::utc;

INSTANTIATE_TEST_SUITE_P(
    Zones, SecondCursorOffsetChanges,
    ::testing::Values(
        OffsetChangeCase{"BerlinSpringOnTime",
                         &berlin2027(),
                         utc(2027, 3, 28, 0, 59, 59),
                         seconds{1},
                         {},
                         SecondRange::inclusive(local(3, 28, 2, 0, 0), local(3, 28, 2, 59, 59)),
                         {local(3, 28, 3, 0, 0)}},
        OffsetChangeCase{"BerlinSpringLateTick",
                         &berlin2027(),
                         utc(2027, 3, 28, 0, 59, 57),
                         seconds{5},
                         {local(3, 28, 1, 59, 58), local(3, 28, 1, 59, 59)},
                         SecondRange::inclusive(local(3, 28, 2, 0, 0), local(3, 28, 2, 59, 59)),
                         {local(3, 28, 3, 0, 0), local(3, 28, 3, 0, 1), local(3, 28, 3, 0, 2)}},
        OffsetChangeCase{"NewYorkSpringOnTime",
                         &newYork2027(),
                         utc(2027, 3, 14, 6, 59, 59),
                         seconds{1},
                         {},
                         SecondRange::inclusive(local(3, 14, 2, 0, 0), local(3, 14, 2, 59, 59)),
                         {local(3, 14, 3, 0, 0)}},
        // The hour the clock repeats was examined already, 03:00:00 not yet.
        OffsetChangeCase{"BerlinAutumnLateTick",
                         &berlin2027(),
                         utc(2027, 10, 31, 0, 59, 58),
                         seconds{3},
                         {local(10, 31, 2, 59, 59)},
                         {},
                         {}},
        OffsetChangeCase{"NewYorkAutumnOnTime",
                         &newYork2027(),
                         utc(2027, 11, 7, 5, 59, 59),
                         seconds{1},
                         {},
                         {},
                         {}}));

TEST(SecondCursor, TheRepeatedHourIsExaminedOnceAcrossTheRealChange) {
  const LocalZone& zone = berlin2027();
  SecondCursor cursor;
  std::vector<LocalTime> seen;
  // From 01:30 CEST to 03:30 CET: three hours of real time.
  for (auto instant = utc(2027, 10, 30, 23, 30); instant <= utc(2027, 10, 31, 2, 30);
       instant += seconds{1}) {
    const CursorStep step = cursor.advance(readingAt(zone, instant), zone);
    ASSERT_TRUE(step.missed.empty() && step.skipped.empty());
    for (const SecondRange& range : {step.examine, step.examineAfterSkip}) {
      for (const LocalTime second : range) seen.push_back(second);
    }
  }
  // Every local second from 01:30:00 to 03:30:00 once, in order.
  ASSERT_EQ(seen.size(), 2U * 3600 + 1);
  for (std::size_t i = 0; i < seen.size(); ++i) {
    ASSERT_EQ(seen[i], local(10, 31, 1, 30, 0) + seconds{i}) << i;
  }
}

// Another time zone chosen moves the offset too, but the new zone's rules do
// not give the earlier reading its offset: local time jumped, and nothing of
// the hours passed over is made up.
TEST(SecondCursor, ChoosingAnotherTimeZoneIsAJumpNotASkippedHour) {
  const FixedZone chosen(hours{5});
  SecondCursor cursor;
  cursor.advance({local(6, 1, 10, 0, 0), hours{1}}, FixedZone(hours{1}));
  const CursorStep step = cursor.advance({local(6, 1, 14, 0, 1), hours{5}}, chosen);
  EXPECT_TRUE(step.skipped.empty());
  EXPECT_EQ(step.missed, SecondRange::inclusive(local(6, 1, 10, 0, 1), local(6, 1, 14, 0, 0)));
  EXPECT_EQ(listed(step.examine), std::vector{local(6, 1, 14, 0, 1)});
}

TEST(SecondCursor, SleepingAcrossTheChangeIsAJump) {
  const LocalZone& zone = berlin2027();
  SecondCursor cursor;
  cursor.advance(readingAt(zone, utc(2027, 3, 27, 23)), zone);                         // 00:00 CET
  const CursorStep wake = cursor.advance(readingAt(zone, utc(2027, 3, 28, 5)), zone);  // 07:00 CEST
  EXPECT_EQ(wake.missed, SecondRange::inclusive(local(3, 28, 0, 0, 1), local(3, 28, 6, 59, 59)));
  EXPECT_EQ(listed(wake.examine), std::vector{local(3, 28, 7, 0, 0)});
  EXPECT_TRUE(wake.skipped.empty());
}

}  // namespace
}  // namespace kiv
