#include "scheduler/skipped_time.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/zone_rules.h"

namespace kiv {
namespace {

using std::chrono::hours;
using std::chrono::seconds;
using testing::berlin2027;
using testing::newYork2027;
using testing::utc;

LocalTime local(int month, int day, int h, int m = 0, int s = 0) {
  return fromCivil({2027, month, day, h, m, s});
}

TEST(SkippedTime, FindsTheHourTheSpringChangeLeavesOut) {
  struct Case {
    const LocalZone& zone;
    LocalTime time;
    std::optional<SkippedTime> expected;
  };
  const SkippedTime berlin{local(3, 28, 2), local(3, 28, 3)};
  const SkippedTime newYork{local(3, 14, 2), local(3, 14, 3)};
  const Case cases[] = {
      {berlin2027(), local(3, 28, 1, 59, 59), std::nullopt},
      {berlin2027(), local(3, 28, 2), berlin},
      {berlin2027(), local(3, 28, 2, 30), berlin},
      {berlin2027(), local(3, 28, 2, 59, 59), berlin},
      {berlin2027(), local(3, 28, 3), std::nullopt},
      {berlin2027(), local(3, 27, 2, 30), std::nullopt},
      {berlin2027(), local(3, 29, 2, 30), std::nullopt},
      {berlin2027(), local(10, 31, 2, 30), std::nullopt},  // repeated, not skipped
      {newYork2027(), local(3, 14, 2, 15), newYork},
      {newYork2027(), local(3, 28, 2, 30), std::nullopt},
      {newYork2027(), local(11, 7, 1, 30), std::nullopt},
      {FixedZone(hours{5}), local(3, 28, 2, 30), std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(skippedTimeAround(c.time, c.zone), c.expected) << dateTimeText(c.time);
  }
}

TEST(SkippedTime, ListsTheHoursLeftOutOverAStretch) {
  struct Case {
    const char* name;
    const LocalZone& zone;
    std::chrono::sys_seconds from;
    std::chrono::sys_seconds until;
    std::vector<SkippedTime> expected;
  };
  // Double summer time: two hours left out in one year, one of them at 00:00.
  const testing::TableZone twice(hours{0}, {{utc(2027, 4, 4, 1), hours{1}},
                                            {utc(2027, 5, 15, 23), hours{2}},
                                            {utc(2027, 8, 14, 22), hours{1}},
                                            {utc(2027, 10, 3, 1), hours{0}}});
  const SkippedTime berlin{local(3, 28, 2), local(3, 28, 3)};
  const Case cases[] = {
      {"Berlin", berlin2027(), utc(2027, 1, 1, 0), utc(2028, 1, 1, 0), {berlin}},
      {"NewYork",
       newYork2027(),
       utc(2027, 1, 1, 0),
       utc(2028, 1, 1, 0),
       {{local(3, 14, 2), local(3, 14, 3)}}},
      {"EndsOnTheChange", berlin2027(), utc(2027, 3, 20, 7, 30), utc(2027, 3, 28, 1), {berlin}},
      {"EndsJustBefore", berlin2027(), utc(2027, 3, 20, 7, 30), utc(2027, 3, 28, 0, 59, 59), {}},
      {"AfterTheChange", berlin2027(), utc(2027, 3, 28, 1), utc(2028, 1, 1, 0), {}},
      {"NoChanges", FixedZone(hours{5}), utc(2027, 1, 1, 0), utc(2028, 1, 1, 0), {}},
      {"TwoInAYear",
       twice,
       utc(2027, 1, 1, 0),
       utc(2028, 1, 1, 0),
       {{local(4, 4, 1), local(4, 4, 2)}, {local(5, 16, 0), local(5, 16, 1)}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(skippedTimesBetween(c.zone, c.from, c.until), c.expected) << c.name;
  }
}

TEST(SkippedTime, PlacesAChangeToTheSecond) {
  EXPECT_EQ(offsetChangeBetween(berlin2027(), utc(2027, 3, 27, 12), utc(2027, 3, 28, 12)),
            utc(2027, 3, 28, 1));
  EXPECT_EQ(offsetChangeBetween(newYork2027(), utc(2027, 11, 7, 5, 59, 59), utc(2027, 11, 7, 6)),
            utc(2027, 11, 7, 6));
}

TEST(SkippedTime, OnlyAFixedLaunchTimeInTheSkippedSecondsIsMadeUp) {
  const SecondRange skipped = SecondRange::inclusive(local(3, 28, 2), local(3, 28, 2, 59, 59));
  EXPECT_EQ(fixedLaunchIn("02:30:00", skipped), local(3, 28, 2, 30));
  EXPECT_EQ(fixedLaunchIn("02:00:00", skipped), local(3, 28, 2));
  EXPECT_EQ(fixedLaunchIn("2:59:59", skipped), local(3, 28, 2, 59, 59));  // short, still usable
  EXPECT_EQ(fixedLaunchIn("03:00:00", skipped), std::nullopt);
  EXPECT_EQ(fixedLaunchIn("01:59:59", skipped), std::nullopt);
  EXPECT_EQ(fixedLaunchIn("02:30:?1", skipped), std::nullopt);  // recurring
  EXPECT_EQ(fixedLaunchIn("ab:cd:ef", skipped), std::nullopt);
  EXPECT_EQ(fixedLaunchIn("02:30:00", SecondRange{}), std::nullopt);

  // Skipped seconds that reach past midnight.
  const SecondRange midnight = SecondRange::inclusive(local(4, 1, 23, 30), local(4, 2, 0, 29, 59));
  EXPECT_EQ(fixedLaunchIn("23:45:00", midnight), local(4, 1, 23, 45));
  EXPECT_EQ(fixedLaunchIn("00:15:00", midnight), local(4, 2, 0, 15));
}

}  // namespace
}  // namespace kiv
