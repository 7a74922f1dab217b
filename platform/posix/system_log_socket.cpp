#include "posix/system_log_socket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <utility>

#include "posix/unique_fd.h"

namespace kiv::posix {
namespace {

int syslogPriority(SystemLogPriority priority) {
  switch (priority) {
    case SystemLogPriority::Warning:
      return LOG_WARNING;
    case SystemLogPriority::Information:
      return LOG_INFO;
    case SystemLogPriority::Error:
      break;
  }
  return LOG_ERR;
}

// The name the log shows for Kiv's entries, as `journalctl -t kiv` selects them.
constexpr const char* kIdentifier = "kiv";

}  // namespace

std::string systemLogDatagram(const SystemLogEntry& entry, const std::tm& localTime, long pid) {
  // RFC 3164's time stamp: the English month whatever the user's locale (the
  // Qt program takes it on), the day padded with a blank.
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<char, 16> stamp{};
  const int length =
      std::snprintf(stamp.data(), stamp.size(), "%s %2d %02d:%02d:%02d",
                    kMonths.at(static_cast<std::size_t>(localTime.tm_mon)), localTime.tm_mday,
                    localTime.tm_hour, localTime.tm_min, localTime.tm_sec);
  return "<" + std::to_string(LOG_USER | syslogPriority(entry.priority)) + ">" +
         std::string(stamp.data(), static_cast<std::size_t>(length)) + " " + kIdentifier + "[" +
         std::to_string(pid) + "]: " + entry.message;
}

SystemLogSocket::SystemLogSocket(std::string socketPath) : socketPath_(std::move(socketPath)) {}

void SystemLogSocket::writeSystemLog(const SystemLogEntry& entry) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath_.size() >= sizeof(address.sun_path)) return;
  std::memcpy(address.sun_path, socketPath_.c_str(), socketPath_.size() + 1);
  const UniqueFd socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (!socket) return;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const std::string datagram = systemLogDatagram(entry, local, static_cast<long>(::getpid()));
  // Nothing to do when it fails: the journal holds the record all the same.
  static_cast<void>(::sendto(socket.get(), datagram.data(), datagram.size(),
                             MSG_DONTWAIT | MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address),
                             sizeof(address)));
}

}  // namespace kiv::posix
