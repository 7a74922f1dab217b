#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "posix/posix_database_files.h"
#include "posix/posix_file_storage.h"
#include "shell/platform.h"

namespace kiv::bench {

// A quiet platform for benchmarks: every question takes its first answer,
// nothing is shown or started, and the clock is the benchmark's.
class BenchPlatform : public Platform {
 public:
  LocalTime clock{};
  posix::PosixFileStorage storage;
  posix::PosixDatabaseFiles databases;

  MessageAnswer messageBox(const MessageBoxRequest&) override { return MessageAnswer::Ok; }
  std::string inputBox(const std::string&, const std::string&) override { return ""; }
  std::optional<TaskOptions> taskOptions(const TaskOptionsRequest&) override {
    return std::nullopt;
  }
  FileDialogOutcome fileDialog(FileDialogRecord&) override { return {}; }
  std::string currentFolder() override { return "."; }
  FileStorage& fileStorage() override { return storage; }
  DatabaseFiles& databaseFiles() override { return databases; }
  void showWindow() override {}
  void hideWindow() override {}
  void popupMenu(const MenuItem&) override {}
  void setWindowHook(bool) override {}
  void showHelp(int) override {}
  bool notifyIcon(TrayOperation, const NotifyIconData&) override { return true; }
  void notify(const std::string&, const std::string&) override {}
  StartResult startProcess(const std::string&) override { return kiv::StartedProgram{}; }
  void endProgram(ProcessId, Ending) override {}
  void endProcess() override {}
  std::string commandArguments() override { return ""; }
  std::string readSetting(const std::string&, const std::string&, const std::string&) override {
    return "";
  }
  void writeSetting(const std::string&, const std::string&, const std::string&,
                    const std::string&) override {}
  ScheduleClaim claimSchedule(const std::string&) override { return {}; }
  kiv::Result<void, std::string> appendJournalLine(const std::string&) override { return {}; }
  Result<std::string, JournalUnreadable> readJournal() override { return std::string(); }
  ClockReading readClock() override { return {clock, std::chrono::seconds{0}}; }
  const LocalZone& localZone() override { return zone_; }
  std::string generalDateTime(LocalTime time) override;
  std::string monthAbbreviation(int) override { return "Dec"; }

 private:
  FixedZone zone_;
};

}  // namespace kiv::bench
