#pragma once

#include <optional>
#include <string_view>

namespace kiv {

// The value of a text of decimal digits, all of it; nullopt for an empty text
// or any other character, a sign or a blank among them. Made for the short
// fields of times and dates: a text of more than nine digits is refused
// rather than overflowing.
constexpr std::optional<int> decimalNumber(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace kiv
