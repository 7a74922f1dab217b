#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kiv {

// Someone who has a database open, as its lock file names them.
struct LockFileUser {
  std::string computer;
  std::string account;

  friend bool operator==(const LockFileUser&, const LockFileUser&) = default;
};

// The lock file lists each user in an entry of 64 bytes: the computer's
// name in the first 32 and the account's in the other 32, each padded with
// NULs, in the system's ANSI code page (read as Windows-1252). A short last
// entry gives what it holds; an entry of NULs only names nobody.
std::vector<LockFileUser> lockFileUsers(std::span<const std::uint8_t> bytes);

// "in use by PC-ACCOUNTING (Admin), PC-7 (maria)": at most five named, then
// "and 3 more"; "in use (its lock file names nobody)" when it names none.
std::string inUseText(const std::vector<LockFileUser>& users);

}  // namespace kiv
