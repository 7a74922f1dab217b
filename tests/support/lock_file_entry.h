#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace kiv::testing {

// One entry of a lock file as the database program writes it for each user
// who has the database open: the computer's name and the account's, each
// NUL-padded to 32 bytes.
inline std::vector<std::uint8_t> lockFileEntry(const std::string& computer,
                                               const std::string& account) {
  std::vector<std::uint8_t> bytes(64, 0);
  std::copy(computer.begin(), computer.end(), bytes.begin());
  std::copy(account.begin(), account.end(), bytes.begin() + 32);
  return bytes;
}

}  // namespace kiv::testing
