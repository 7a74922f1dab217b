#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "engine/scheduler.h"
#include "os_services.h"
#include "started_programs.h"

namespace kiv::ctl {

// What "kivctl run" gives the scheduler in place of a window: the local wall
// clock with fixed English texts, the system's own starter (the one the
// window program of that system uses) whose programs are watched until they
// end, the user's launch journal, and a console: each notification is a
// timestamped line on standard error, each last-launch status a line on
// standard output.
class ConsoleScheduling final : public Clock,
                                public ProcessStarter,
                                public JournalStore,
                                public Notifier,
                                public SchedulerEvents {
 public:
  ConsoleScheduling(std::ostream& out, std::ostream& err);

  SchedulerPorts ports() { return {*this, *this, *this, *this, databaseFiles()}; }

  // A line on standard error, after the local date and time.
  void note(std::string_view text);

  // The started programs, for the run loop to watch.
  StartedPrograms& programs() { return programs_; }

  ClockReading readClock() override;
  const LocalZone& localZone() override;
  std::string generalDateTime(LocalTime time) override;
  std::string monthAbbreviation(int month) override;

  // A start that fails says nothing itself: the scheduler notifies it,
  // naming the task, and the command line (which may hold a password) never
  // reaches the log.
  StartResult startProcess(const std::string& commandLine) override;
  void endProgram(ProcessId pid, Ending how) override;

  Result<void, std::string> appendJournalLine(const std::string& line) override;
  Result<std::string, JournalUnreadable> readJournal() override;

  void notify(const std::string& title, const std::string& text) override;

  void launchStarting(const LaunchNotice& notice) override;
  void launchStarted(const LaunchNotice& notice) override;

 private:
  std::ostream& out_;
  std::ostream& err_;
  StartedPrograms programs_;
};

}  // namespace kiv::ctl
