#include "posix/local_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace kiv::posix {
namespace {

std::optional<sockaddr_un> addressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // The name must fit with its terminating NUL and hold none of its own.
  if (path.empty() || path.size() >= sizeof address.sun_path || path.find('\0') != path.npos) {
    errno = ENAMETOOLONG;
    return std::nullopt;
  }
  std::memcpy(address.sun_path, path.data(), path.size());
  return address;
}

UniqueFd streamSocket(int flags) {
  return UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | flags, 0));
}

}  // namespace

UniqueFd listenAt(const std::string& path) {
  const std::optional<sockaddr_un> address = addressOf(path);
  if (!address) return {};
  UniqueFd socket = streamSocket(SOCK_NONBLOCK);
  if (!socket) return {};
  ::unlink(path.c_str());
  const auto* name = reinterpret_cast<const sockaddr*>(&*address);
  if (::bind(socket.get(), name, sizeof *address) != 0 ||
      ::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(socket.get(), SOMAXCONN) != 0) {
    return {};
  }
  return socket;
}

UniqueFd connectTo(const std::string& path) {
  const std::optional<sockaddr_un> address = addressOf(path);
  if (!address) return {};
  UniqueFd socket = streamSocket(0);
  if (!socket) return {};
  const auto* name = reinterpret_cast<const sockaddr*>(&*address);
  int result = 0;
  do {
    result = ::connect(socket.get(), name, sizeof *address);
  } while (result != 0 && errno == EINTR);
  if (result != 0) return {};
  return socket;
}

bool waitUntilReady(int fd, bool forWriting, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  pollfd watched{fd, static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
  for (;;) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const int ready = ::poll(&watched, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

}  // namespace kiv::posix
