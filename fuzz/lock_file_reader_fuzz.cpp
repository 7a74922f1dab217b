// Any bytes a lock file may hold name its users without a crash or a
// sanitizer report: no user more than one per 64-byte entry, no name longer
// than its field, and a reason that names at most five of them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "engine/lock_file_users.h"

namespace {

// Windows-1252 turns one byte into at most three UTF-8 bytes.
constexpr std::size_t kLongestName = 32 * 3;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto users = kiv::lockFileUsers(std::span<const std::uint8_t>(data, size));
  if (users.size() > (size + 63) / 64) __builtin_trap();
  for (const kiv::LockFileUser& user : users) {
    if (user.computer.size() > kLongestName || user.account.size() > kLongestName) {
      __builtin_trap();
    }
    if (user.computer.empty() && user.account.empty()) __builtin_trap();
  }
  const std::string reason = kiv::inUseText(users);
  if (!reason.starts_with("in use")) __builtin_trap();
  if (users.size() > 5 && reason.find(" more") == std::string::npos) __builtin_trap();
  return 0;
}
