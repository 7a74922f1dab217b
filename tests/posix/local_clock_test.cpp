#include "posix/local_clock.h"

#include <stdlib.h>
#include <time.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "scheduler/skipped_time.h"
#include "support/zone_rules.h"

namespace kiv::posix {
namespace {

using std::chrono::hours;
using testing::utc;

// Runs the test in a time zone of the system's database.
class InZone {
 public:
  explicit InZone(const char* zone) {
    if (const char* saved = std::getenv("TZ")) saved_ = saved;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~InZone() {
    if (saved_) {
      ::setenv("TZ", saved_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  InZone(const InZone&) = delete;
  InZone& operator=(const InZone&) = delete;

 private:
  std::optional<std::string> saved_;
};

LocalTime local(int month, int day, int h, int m = 0, int s = 0) {
  return fromCivil({2027, month, day, h, m, s});
}

// The system's rules agree with the tables the core's tests use, and the
// core finds the skipped hour with them.
TEST(SystemLocalZone, KnowsTheChangesOf2027) {
  struct Case {
    const char* zone;
    const LocalZone& table;
    LocalTime skipped;
    LocalTime firstAfter;
  };
  const Case cases[] = {
      {"Europe/Berlin", testing::berlin2027(), local(3, 28, 2, 30), local(3, 28, 3)},
      {"America/New_York", testing::newYork2027(), local(3, 14, 2, 15), local(3, 14, 3)},
  };
  for (const Case& c : cases) {
    const InZone zone(c.zone);
    const SystemLocalZone system;
    for (auto instant = utc(2027, 1, 1, 0); instant < utc(2028, 1, 1, 0); instant += hours{1}) {
      ASSERT_EQ(system.utcOffsetAt(instant), c.table.utcOffsetAt(instant)) << c.zone;
    }
    const auto skipped = skippedTimeAround(c.skipped, system);
    ASSERT_TRUE(skipped) << c.zone;
    EXPECT_EQ(skipped->end, c.firstAfter) << c.zone;
    EXPECT_FALSE(skippedTimeAround(c.firstAfter, system)) << c.zone;
  }
}

TEST(LocalClock, AReadingIsNowWithTheOffsetOfItsMoment) {
  const InZone zone("America/New_York");
  const auto before = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
  const ClockReading reading = readLocalClock();
  const auto after = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
  EXPECT_GE(reading.utc(), before);
  EXPECT_LE(reading.utc(), after);
  EXPECT_EQ(reading.utcOffset, SystemLocalZone().utcOffsetAt(reading.utc()));
}

}  // namespace
}  // namespace kiv::posix
