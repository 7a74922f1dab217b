#pragma once

#include <ctime>
#include <string>

#include "shell/system_log.h"

namespace kiv::posix {

// The socket the system's log daemon (the system journal, rsyslog) reads.
inline constexpr const char* kSystemLogSocket = "/dev/log";

// One entry as syslog(3) sends it to the local daemon: "<PRI>Mmm dd hh:mm:ss
// kiv[PID]: message", the facility "user", the time local.
std::string systemLogDatagram(const SystemLogEntry& entry, const std::tm& localTime, long pid);

// Writes each entry as one datagram to the daemon's socket. The socket is
// found again for every entry, so a daemon restarted in between still gets
// them; an entry the daemon cannot take at once (no daemon, its queue full)
// is dropped rather than making a launch wait.
class SystemLogSocket final : public SystemLog {
 public:
  explicit SystemLogSocket(std::string socketPath = kSystemLogSocket);
  void writeSystemLog(const SystemLogEntry& entry) override;

 private:
  std::string socketPath_;
};

}  // namespace kiv::posix
