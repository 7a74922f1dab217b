#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "shell/launch_journal.h"

namespace kiv {

// What a scheduler saw of one task since it started.
struct TaskMetrics {
  std::string name;
  std::optional<std::chrono::sys_seconds> lastStart;
  std::optional<std::chrono::sys_seconds> lastEnd;
  // Of the last end that had one: a signal, a time limit or an unknown end
  // leaves none.
  std::optional<int> lastExitStatus;
  std::optional<std::chrono::milliseconds> lastDuration;
  std::uint64_t started = 0;
  // Launches not started and programs that failed.
  std::uint64_t failed = 0;
  std::uint64_t missed = 0;

  friend bool operator==(const TaskMetrics&, const TaskMetrics&) = default;
};

// The figures of each task of each schedule, as the journal records come,
// for a metrics collector: counted from the journal records a scheduler
// writes, stamped with the moment they were written.
class LaunchMetrics {
 public:
  void count(const LaunchRecord& launch, std::chrono::sys_seconds at);
  void count(const EndedRecord& end, std::chrono::sys_seconds at);

  // Keyed by schedule and task number.
  const std::map<std::pair<std::string, int>, TaskMetrics>& tasks() const { return tasks_; }

 private:
  std::map<std::pair<std::string, int>, TaskMetrics> tasks_;
};

// The figures in the Prometheus text exposition format: each metric named
// kiv_..., with its # HELP and # TYPE lines, a sample per task labelled with
// schedule, task and name; and the moment it was written.
std::string metricsExposition(const LaunchMetrics& metrics, std::chrono::sys_seconds writtenAt);

}  // namespace kiv
