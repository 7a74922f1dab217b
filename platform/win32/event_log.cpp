#include "event_log.h"

#include "windows_api.h"

#include <string>

#include "wide_text.h"

namespace kiv {
namespace {

WORD eventType(SystemLogPriority priority) {
  switch (priority) {
    case SystemLogPriority::Warning:
      return EVENTLOG_WARNING_TYPE;
    case SystemLogPriority::Information:
      return EVENTLOG_INFORMATION_TYPE;
    case SystemLogPriority::Error:
      break;
  }
  return EVENTLOG_ERROR_TYPE;
}

DWORD eventId(SystemLogKind kind) {
  switch (kind) {
    case SystemLogKind::NotStarted:
      return 1;
    case SystemLogKind::Failed:
      return 2;
    case SystemLogKind::Restored:
      return 3;
    case SystemLogKind::Missed:
      return 4;
    case SystemLogKind::Started:
      return 5;
    case SystemLogKind::Succeeded:
      return 6;
  }
  return 2;
}

}  // namespace

// The source is opened for each entry: entries are few, and nothing is held
// open for the life of the program. A log that cannot be written is passed
// over; the journal holds the record all the same.
void EventLog::writeSystemLog(const SystemLogEntry& entry) {
  const HANDLE source = RegisterEventSourceW(nullptr, L"Kiv");
  if (source == nullptr) return;
  const std::wstring message = toWide(entry.message);
  LPCWSTR strings[] = {message.c_str()};
  ReportEventW(source, eventType(entry.priority), 0, eventId(entry.kind), nullptr, 1, 0, strings,
               nullptr);
  DeregisterEventSource(source);
}

}  // namespace kiv
