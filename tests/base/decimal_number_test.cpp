#include "base/decimal_number.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace kiv {
namespace {

struct Case {
  std::string_view text;
  std::optional<int> value;
};

TEST(DecimalNumber, TakesDigitsOnlyAndAllOfThem) {
  const Case cases[] = {
      {"0", 0},
      {"07", 7},
      {"59", 59},
      {"123456789", 123456789},
      {"", std::nullopt},
      {"+1", std::nullopt},
      {"-1", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"1a", std::nullopt},
      {"\xD9\xA1", std::nullopt},    // Arabic-Indic one
      {"1234567890", std::nullopt},  // would overflow
  };
  for (const Case& c : cases) EXPECT_EQ(decimalNumber(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace kiv
