#include "shell/schedule_lock_name.h"

#include <cstdint>

#include "base/hex_digits.h"

namespace kiv {

// FNV-1a: small, stable across builds and systems.
std::string scheduleLockName(std::string_view identity) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : identity) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return "schedule-" + hexDigits(hash, 16, HexLetters::Lower);
}

}  // namespace kiv
