#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "shell/platform.h"
#include "started_programs.h"

namespace kiv::ctl {

// The Platform of the scheduler without a window. Nobody is there to answer:
// a message becomes a timestamped line on standard error and a question
// takes its safe answer (Cancel, or No where there is no Cancel). Each
// last-launch status that would reach the icon's tip is a line on standard
// output, and so is each notification the window would show from its icon.
// Programs start through the system's own starter (the one the window program
// of that system uses) and are watched until they end, the clock is the local
// wall clock, launches go to the user's launch journal, and nothing is stored
// in settings.
class ConsolePlatform final : public Platform {
 public:
  ConsolePlatform(std::string scheduleFile, std::ostream& out, std::ostream& err);

  // The tray record of the form served. A launch that ends the program never
  // reaches the icon, so its status is taken from here when it starts.
  void watchTray(const NotifyIconData& tray) { watchedTray_ = &tray; }

  // A line on standard error, after the local date and time.
  void note(std::string_view text);

  // Whether the core has ended the program.
  bool ended() const { return ended_; }

  // The started programs, for the run loop to watch.
  StartedPrograms& programs() { return programs_; }

  MessageAnswer messageBox(const MessageBoxRequest& request) override;
  std::string inputBox(const std::string& prompt, const std::string& title) override;

  FileDialogOutcome fileDialog(FileDialogRecord& record) override;
  std::string currentFolder() override;
  const CodePage& ansiCodePage() const override;
  FileStorage& fileStorage() override;

  void showWindow() override {}
  void hideWindow() override {}
  void popupMenu(const MenuItem& menu) override;
  void setWindowHook(bool installed) override;
  void showHelp(int context) override;

  bool notifyIcon(TrayOperation operation, const NotifyIconData& data) override;
  void notify(const std::string& title, const std::string& text) override;

  StartResult startProcess(const std::string& commandLine) override;
  // Marks the program ended; the core examines nothing more after this call,
  // so the run loop stops before the next tick.
  void endProcess() override;
  // "/o " and the schedule file, so loading the window opens it.
  std::string commandArguments() override;

  std::string readSetting(const std::string& application, const std::string& section,
                          const std::string& key) override;
  void writeSetting(const std::string& application, const std::string& section,
                    const std::string& key, const std::string& value) override;

  ScheduleClaim claimSchedule(const std::string& scheduleFile) override;
  std::optional<std::string> appendJournalLine(const std::string& line) override;
  Result<std::string, JournalUnreadable> readJournal() override;

  ClockReading readClock() override;
  const LocalZone& localZone() override;
  std::string generalDateTime(LocalTime time) override;
  std::string monthAbbreviation(int month) override;

 private:
  void printStatus(std::string_view tip);

  std::string scheduleFile_;
  std::ostream& out_;
  std::ostream& err_;
  const NotifyIconData* watchedTray_ = nullptr;
  // The status of a launch that started and has not reached the icon yet.
  std::optional<std::string> pendingStatus_;
  bool ended_ = false;
  StartedPrograms programs_;
};

}  // namespace kiv::ctl
