#include "scheduler/date_time_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiv {
namespace {

TEST(LocalTimeText, WritesAndReadsTheSameForm) {
  const std::vector<std::pair<CivilTime, std::string>> cases{
      {{2026, 12, 10, 2, 0, 0}, "2026-12-10 02:00:00"},
      {{2028, 2, 29, 23, 59, 59}, "2028-02-29 23:59:59"},
      {{999, 1, 1, 0, 0, 0}, "0999-01-01 00:00:00"},
  };
  for (const auto& [civil, text] : cases) {
    EXPECT_EQ(dateTimeText(fromCivil(civil)), text);
    EXPECT_EQ(parseDateTime(text), fromCivil(civil)) << text;
  }
}

TEST(LocalTimeText, RefusesAnythingElse) {
  for (const std::string_view text :
       {"", "2026-12-10", "2026-12-10 02:00", "2026-12-10T02:00:00", "2026-12-10  2:00:00",
        "2026-12-10 2:00:00", "2026-12-10 02:00:00 ", "2026/12/10 02:00:00", "2026-13-01 00:00:00",
        "2026-02-29 00:00:00", "2026-04-31 00:00:00", "2026-12-10 24:00:00", "2026-12-10 23:60:00",
        "2026-12-10 23:59:60", "+026-12-10 02:00:00", "2026-1a-10 02:00:00"}) {
    EXPECT_FALSE(parseDateTime(text)) << text;
  }
}

}  // namespace
}  // namespace kiv
