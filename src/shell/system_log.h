#pragma once

#include <string>

namespace kiv {

// What an entry in the system's log tells of; each has an event number of its
// own in the Windows event log.
enum class SystemLogKind { NotStarted, Failed, Restored, Missed, Started, Succeeded };

// How urgent an entry is, as the system's log ranks it.
enum class SystemLogPriority { Error, Warning, Information };

struct SystemLogEntry {
  SystemLogKind kind = SystemLogKind::Failed;
  SystemLogPriority priority = SystemLogPriority::Error;
  std::string message;

  friend bool operator==(const SystemLogEntry&, const SystemLogEntry&) = default;
};

// The system's own log, which administrators collect: syslog on POSIX, the
// Application event log on Windows. Writing never fails loudly: a log that
// cannot be reached never stops a launch.
class SystemLog {
 public:
  virtual ~SystemLog() = default;
  virtual void writeSystemLog(const SystemLogEntry& entry) = 0;
};

}  // namespace kiv
