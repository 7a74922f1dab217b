#include <gtest/gtest.h>

#include "local_clock.h"
#include "windows_api.h"

namespace kiv {
namespace {

// The tests run with the user's locale US English, whose formats these are.
class LocalClock : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GetUserDefaultLCID(), static_cast<LCID>(0x409)); }
};

LocalTime systemLocalTime() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return fromCivil({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}

// GetLocalTime may read the clock as of the last clock interrupt, behind the
// precise reading; the pause lets it catch up.
TEST_F(LocalClock, ReadsTheLocalWallClockToTheSecondWithItsOffset) {
  const LocalTime before = systemLocalTime();
  const ClockReading now = readLocalClock();
  Sleep(50);
  const LocalTime after = systemLocalTime();
  EXPECT_LE(before, now.local);
  EXPECT_LE(now.local, after);
  EXPECT_EQ(now.utcOffset, Win32LocalZone().utcOffsetAt(now.utc()));
  TIME_ZONE_INFORMATION zone{};
  const DWORD state = GetTimeZoneInformation(&zone);
  const LONG bias = zone.Bias + (state == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : 0);
  EXPECT_EQ(now.utcOffset, std::chrono::minutes{-bias});
}

TEST_F(LocalClock, WritesTheUsersShortDateAndLongTime) {
  EXPECT_EQ(userGeneralDateTime(fromCivil({2026, 12, 6, 15, 4, 5})), "12/6/2026 3:04:05 PM");
  EXPECT_EQ(userGeneralDateTime(fromCivil({2027, 1, 31, 0, 0, 0})), "1/31/2027 12:00:00 AM");
}

TEST_F(LocalClock, NamesTheMonthsAsTheUserAbbreviatesThem) {
  const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int month = 1; month <= 12; ++month) {
    EXPECT_EQ(userMonthAbbreviation(month), months[month - 1]) << month;
  }
}

}  // namespace
}  // namespace kiv
