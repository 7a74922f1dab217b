#pragma once

#include "shell/system_log.h"

namespace kiv {

// The Application event log, source "Kiv". Each kind of entry has an event
// number of its own, so that a collector can select them:
//   1 a launch not started    2 a program that failed    3 a database put back
//   4 a launch missed         5 a launch started         6 a program ended with 0
// The numbers are those of a message file whose every message is just its
// text ("%1"), which the installer names for the source. Without the source
// registered Windows still keeps each entry, shown with a generic text before
// Kiv's own.
class EventLog final : public SystemLog {
 public:
  void writeSystemLog(const SystemLogEntry& entry) override;
};

}  // namespace kiv
