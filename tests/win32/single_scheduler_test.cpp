#include "single_scheduler.h"

#include <gtest/gtest.h>

#include <string>

namespace kiv {
namespace {

TEST(ScheduleMutexes, HoldOneScheduleAtATimeUnderAnyOfItsNames) {
  ScheduleMutexes mine;
  ScheduleMutexes other;
  const std::string first = "C:\\Schedules\\Nightly.kiv";

  EXPECT_EQ(mine.claim(first).kind, ScheduleClaim::Kind::Claimed);
  EXPECT_EQ(mine.claim(first).kind, ScheduleClaim::Kind::Claimed);  // again: its own
  const ScheduleClaim refused = other.claim("c:\\schedules\\.\\NIGHTLY.KIV");
  EXPECT_EQ(refused.kind, ScheduleClaim::Kind::HeldByOther);
  EXPECT_EQ(refused.detail, "another Kiv program");

  EXPECT_EQ(mine.claim("C:\\Schedules\\Weekly.kiv").kind, ScheduleClaim::Kind::Claimed);
  EXPECT_EQ(other.claim(first).kind, ScheduleClaim::Kind::Claimed);
  EXPECT_EQ(mine.claim(first).kind, ScheduleClaim::Kind::HeldByOther);
  EXPECT_EQ(other.claim("").kind, ScheduleClaim::Kind::Claimed);
  EXPECT_EQ(mine.claim(first).kind, ScheduleClaim::Kind::Claimed);
}

TEST(HandOver, ReadsOnlyItsOwnMessages) {
  std::string message = std::string("C:\\Work") + '\0' + "/o nightly.kiv";
  const COPYDATASTRUCT data{0x4B495631, static_cast<DWORD>(message.size()), message.data()};
  const auto handed = handedOverCommandLine(data);
  ASSERT_TRUE(handed);
  EXPECT_EQ(handed->first, "/o nightly.kiv");
  EXPECT_EQ(handed->second, "C:\\Work");

  std::string noSeparator = "C:\\Work";
  EXPECT_FALSE(handedOverCommandLine(
      {0x4B495631, static_cast<DWORD>(noSeparator.size()), noSeparator.data()}));
  EXPECT_FALSE(handedOverCommandLine({1, static_cast<DWORD>(message.size()), message.data()}));
}

}  // namespace
}  // namespace kiv
