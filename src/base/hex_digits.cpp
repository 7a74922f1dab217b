#include "base/hex_digits.h"

#include <string_view>

namespace kiv {

std::string hexDigits(std::uint64_t value, std::size_t atLeast, HexLetters letters) {
  const std::string_view digitsOf =
      letters == HexLetters::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string digits;
  for (std::uint64_t rest = value; rest != 0 || digits.size() < atLeast; rest >>= 4) {
    digits.insert(digits.begin(), digitsOf[rest & 0xF]);
  }
  return digits;
}

}  // namespace kiv
