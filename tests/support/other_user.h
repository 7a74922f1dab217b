#pragma once

#include <pwd.h>
#include <unistd.h>

#include <optional>

namespace kiv::testing {

// A user other than the one running the test, to give files and folders to:
// "nobody", or a user id nobody has where the system knows no such user.
// nullopt unless this process may give its files away (it runs as root).
inline std::optional<uid_t> otherUser() {
  if (::geteuid() != 0) return std::nullopt;
  const passwd* nobody = ::getpwnam("nobody");
  return nobody != nullptr ? nobody->pw_uid : uid_t{4242};
}

}  // namespace kiv::testing
