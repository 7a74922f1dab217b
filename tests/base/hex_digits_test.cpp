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

TEST(HexDigits, LowerCaseAndSixtyFourBits) {
  const struct {
    std::uint64_t value;
    std::size_t atLeast;
    HexLetters letters;
    const char* digits;
  } cases[] = {
      {0xcbf29ce484222325ULL, 16, HexLetters::Lower, "cbf29ce484222325"},
      {0xFFFFFFFFFFFFFFFFULL, 1, HexLetters::Upper, "FFFFFFFFFFFFFFFF"},
      {0x1F, 16, HexLetters::Lower, "000000000000001f"},
      {0xAB, 2, HexLetters::Lower, "ab"},
      {0x0A, 2, HexLetters::Lower, "0a"},
  };
  for (const auto& [value, atLeast, letters, digits] : cases) {
    EXPECT_EQ(hexDigits(value, atLeast, letters), digits) << value << " " << atLeast;
  }
}

}  // namespace
}  // namespace kiv
