#include "shell/system_log_entries.h"

namespace kiv {
namespace {

// "Task 3 (Nightly compact) of /home/me/nightly.kiv, due 2027-03-28 02:00:00"
std::string launchSubject(const std::string& schedule, int task, const std::string& taskName,
                          const std::string& when) {
  std::string subject = "Task " + std::to_string(task);
  if (!taskName.empty()) subject += " (" + taskName + ")";
  subject += " of " + (schedule.empty() ? std::string("an untitled schedule") : schedule);
  return subject + ", " + when;
}

SystemLogPriority priorityOf(SystemLogKind kind) {
  switch (kind) {
    case SystemLogKind::Missed:
      return SystemLogPriority::Warning;
    case SystemLogKind::Started:
    case SystemLogKind::Succeeded:
      return SystemLogPriority::Information;
    case SystemLogKind::NotStarted:
    case SystemLogKind::Failed:
    case SystemLogKind::Restored:
      break;
  }
  return SystemLogPriority::Error;
}

SystemLogEntry entry(SystemLogKind kind, std::string message) {
  return {kind, priorityOf(kind), std::move(message)};
}

}  // namespace

std::vector<SystemLogEntry> systemLogEntries(const LaunchRecord& launch, SuccessLogging successes) {
  const std::string subject =
      launchSubject(launch.schedule, launch.task, launch.taskName, "due " + launch.at);
  if (launch.how == LaunchHow::Missed) {
    return {entry(SystemLogKind::Missed, subject + ", missed: " + launch.reason)};
  }
  if (!launch.started) {
    return {entry(SystemLogKind::NotStarted, subject + ", not started: " + launch.reason)};
  }
  if (successes == SuccessLogging::Off) return {};
  std::string started = subject + ", started";
  if (launch.pid) started += " as process " + std::to_string(*launch.pid);
  return {entry(SystemLogKind::Started, started)};
}

std::vector<SystemLogEntry> systemLogEntries(const EndedRecord& end, const std::string& taskName,
                                             SuccessLogging successes) {
  const std::string subject =
      launchSubject(end.schedule, end.task, taskName,
                    "launched " + end.at + " as process " + std::to_string(end.pid));
  std::vector<SystemLogEntry> entries;
  const ProgramOutcome& outcome = end.outcome;
  if (outcome.failed()) {
    entries.push_back(entry(SystemLogKind::Failed, subject + ", failed: " + outcome.text()));
  } else if (outcome.kind == ProgramOutcome::Kind::Exited && successes == SuccessLogging::On) {
    entries.push_back(entry(SystemLogKind::Succeeded, subject + ", ended: " + outcome.text()));
  }
  if (!end.restored.empty()) {
    entries.push_back(entry(SystemLogKind::Restored, subject + ", " + end.databaseCheck));
  }
  return entries;
}

}  // namespace kiv
