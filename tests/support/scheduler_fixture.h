#pragma once

#include <string>
#include <variant>
#include <vector>

#include "engine/scheduler.h"
#include "shell/launch_journal.h"

namespace kiv::testing {

// A driver of the scheduler that has nothing to show.
class NoEvents final : public SchedulerEvents {
 public:
  void launchStarting(const LaunchNotice&) override {}
  void launchStarted(const LaunchNotice&) override {}
};

// The journal's records of one kind, oldest first.
template <typename Record>
std::vector<Record> recordsOf(const std::vector<std::string>& lines) {
  std::vector<Record> records;
  for (const std::string& line : lines) {
    const auto record = parseJournalLine(line);
    if (const auto* wanted = record ? std::get_if<Record>(&*record) : nullptr) {
      records.push_back(*wanted);
    }
  }
  return records;
}

}  // namespace kiv::testing
