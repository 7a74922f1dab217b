#include "base/hex_digits.h"

#include <string_view>

namespace kiv {

std::string hexDigits(std::uint32_t value, std::size_t atLeast) {
  constexpr std::string_view kHexDigits = "0123456789ABCDEF";
  std::string digits;
  for (std::uint32_t rest = value; rest != 0 || digits.size() < atLeast; rest >>= 4) {
    digits.insert(digits.begin(), kHexDigits[rest & 0xF]);
  }
  return digits;
}

}  // namespace kiv
