#pragma once

#include "windows_api.h"

#include "event_log.h"
#include "local_clock.h"
#include "program_watcher.h"
#include "shell/platform.h"
#include "single_scheduler.h"
#include "win32_database_files.h"
#include "win32_file_storage.h"

namespace kiv {

class FormWindow;

// The Platform of the native Windows program: Win32 dialogs, the window, the
// notification area, CreateProcessW, the registry and the user's locale. The
// programs it starts are watched, and the window's tick tells the form of
// each that has ended. Every text crosses the Win32 boundary as UTF-16 and is
// UTF-8 on the core's side; only the schedule file's texts take the system's
// ANSI code page.
class Win32Platform : public Platform {
 public:
  explicit Win32Platform(HINSTANCE instance) : instance_(instance) {}

  // The window that the window calls act on and that owns the dialogs; its
  // tick collects the ended programs this platform started.
  void setWindow(FormWindow* window);

  MessageAnswer messageBox(const MessageBoxRequest& request) override;
  std::string inputBox(const std::string& prompt, const std::string& title) override;
  std::optional<TaskOptions> taskOptions(const TaskOptionsRequest& request) override;

  FileDialogOutcome fileDialog(FileDialogRecord& record) override;
  std::string currentFolder() override;
  const CodePage& ansiCodePage() const override;
  FileStorage& fileStorage() override { return storage_; }
  DatabaseFiles& databaseFiles() override { return databaseFiles_; }
  SystemLog* systemLog() override { return &eventLog_; }

  void showWindow() override;
  void hideWindow() override;
  void popupMenu(const MenuItem& menu) override;
  void setWindowHook(bool installed) override;
  void showHelp(int context) override;

  bool notifyIcon(TrayOperation operation, const NotifyIconData& data) override;
  void notify(const std::string& title, const std::string& text) override;

  StartResult startProcess(const std::string& commandLine) override;
  void endProgram(ProcessId pid, Ending how) override;
  [[noreturn]] void endProcess() override;
  std::string commandArguments() override;

  std::string readSetting(const std::string& application, const std::string& section,
                          const std::string& key) override;
  void writeSetting(const std::string& application, const std::string& section,
                    const std::string& key, const std::string& value) override;

  ScheduleClaim claimSchedule(const std::string& scheduleFile) override;
  Result<void, std::string> appendJournalLine(const std::string& line) override;
  Result<std::string, JournalUnreadable> readJournal() override;

  ClockReading readClock() override;
  const LocalZone& localZone() override { return zone_; }
  std::string generalDateTime(LocalTime time) override;
  std::string monthAbbreviation(int month) override;

 private:
  HWND windowHandle() const;
  // A question over a hidden window would be placed against a window nobody sees.
  HWND boxOwner() const;

  HINSTANCE instance_;
  FormWindow* window_ = nullptr;
  Win32FileStorage storage_;
  Win32DatabaseFiles databaseFiles_;
  EventLog eventLog_;
  ScheduleMutexes locks_;
  Win32LocalZone zone_;
  ProgramWatcher programs_;
};

}  // namespace kiv
