#include "engine/lock_file_users.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "schedule_file/windows1252.h"

namespace kiv {
namespace {

constexpr std::size_t kNameSize = 32;
constexpr std::size_t kEntrySize = 2 * kNameSize;
constexpr std::size_t kMostNamed = 5;

// The name in a field, up to its first NUL.
std::string fieldName(std::span<const std::uint8_t> field) {
  const auto end = std::ranges::find(field, std::uint8_t{0});
  const std::string_view bytes(reinterpret_cast<const char*>(field.data()),
                               static_cast<std::size_t>(end - field.begin()));
  return fromWindows1252(bytes);
}

std::string userText(const LockFileUser& user) {
  if (user.account.empty()) return user.computer;
  if (user.computer.empty()) return "(" + user.account + ")";
  return user.computer + " (" + user.account + ")";
}

}  // namespace

std::vector<LockFileUser> lockFileUsers(std::span<const std::uint8_t> bytes) {
  std::vector<LockFileUser> users;
  for (std::size_t at = 0; at < bytes.size(); at += kEntrySize) {
    const auto entry = bytes.subspan(at, std::min(kEntrySize, bytes.size() - at));
    const auto computer = entry.first(std::min(kNameSize, entry.size()));
    const auto account = entry.subspan(computer.size());
    LockFileUser user{fieldName(computer), fieldName(account)};
    if (!user.computer.empty() || !user.account.empty()) users.push_back(std::move(user));
  }
  return users;
}

std::string inUseText(const std::vector<LockFileUser>& users) {
  if (users.empty()) return "in use (its lock file names nobody)";
  std::string text = "in use by ";
  const std::size_t named = std::min(users.size(), kMostNamed);
  for (std::size_t index = 0; index < named; ++index) {
    if (index > 0) text += ", ";
    text += userText(users[index]);
  }
  if (users.size() > named) text += " and " + std::to_string(users.size() - named) + " more";
  return text;
}

}  // namespace kiv
