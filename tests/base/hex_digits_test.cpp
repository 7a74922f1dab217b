#include "base/hex_digits.h"

#include <gtest/gtest.h>

#include <utility>

namespace kiv {
namespace {

TEST(HexDigits, PadsToTheWidthAskedAndNeverCutsADigit) {
  const struct {
    std::uint32_t value;
    std::size_t atLeast;
    const char* digits;
  } cases[] = {
      {0x142, 4, "0142"},          {0x1F600, 4, "1F600"},       {0, 4, "0000"},          {0, 0, ""},
      {0xC0000005, 8, "C0000005"}, {0xFFFFFFFF, 2, "FFFFFFFF"}, {0xabcdef, 1, "ABCDEF"},
  };
  for (const auto& [value, atLeast, digits] : cases) {
    EXPECT_EQ(hexDigits(value, atLeast), digits) << value << " " << atLeast;
  }
}

}  // namespace
}  // namespace kiv
