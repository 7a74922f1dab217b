#pragma once

#include <string>
#include <variant>
#include <vector>

#include "engine/scheduler.h"
#include "shell/launch_journal.h"
#include "support/fake_platform.h"
#include "support/written_launches.h"

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

// The schedule a ScheduledTasks schedules, as the journal names it.
inline constexpr const char* kScheduledFile = "/home/ann/nightly.kiv";

// A scheduler of `tasks` on the scripted platform, its clock two seconds
// before 02:00 and its programs numbered from 101, with the databases of
// the platform or those given.
class ScheduledTasks {
 public:
  explicit ScheduledTasks(DatabaseFiles* databases = nullptr)
      : scheduler{tasks,
                  {platform, platform, platform, platform,
                   databases != nullptr ? *databases : platform.databaseFiles()},
                  events} {
    platform.nextProcessId = 101;
    platform.clock = time("2026-12-10 01:59:58");
    scheduler.setSchedule(kScheduledFile);
  }

  // Ticks once a second until the clock shows `until`, that second included.
  void tickUntil(const std::string& until) {
    while (platform.clock < time(until)) {
      platform.advance(std::chrono::seconds{1});
      scheduler.tick();
    }
  }

  std::vector<LaunchRecord> launches() const {
    return recordsOf<LaunchRecord>(platform.journalLines);
  }
  std::vector<EndedRecord> ends() const { return recordsOf<EndedRecord>(platform.journalLines); }

  TaskTable tasks;
  FakePlatform platform;
  NoEvents events;
  Scheduler scheduler;
};

}  // namespace kiv::testing
