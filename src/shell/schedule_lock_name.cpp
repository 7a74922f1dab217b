#include "shell/schedule_lock_name.h"

#include <cstdint>

namespace kiv {

// FNV-1a: small, stable across builds and systems.
std::string scheduleLockName(std::string_view identity) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : identity) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  constexpr std::string_view kHex = "0123456789abcdef";
  std::string digits(16, '0');
  for (int digit = 15; digit >= 0; --digit, hash >>= 4) digits[digit] = kHex[hash & 0xF];
  return "schedule-" + digits;
}

}  // namespace kiv
