#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "base/local_time.h"
#include "base/local_zone.h"
#include "base/result.h"
#include "schedule_file/file_storage.h"
#include "shell/launch_journal.h"
#include "shell/tray_data.h"

namespace kiv {

class CodePage;
class MenuItem;

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Exclamation, Question };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageBoxRequest {
  std::string text;
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
  int defaultButton = 0;  // position among the buttons, 0 for the first
  std::string title;
};

enum class FileDialogKind { Open, Save };

// The inputs and outputs of one open or save dialog, as the dialog record of
// the common dialogs carries them. `filter` holds description and pattern
// pairs separated by NUL characters and ends with two NULs.
struct FileDialogRecord {
  FileDialogKind kind = FileDialogKind::Open;
  std::string filter;
  std::uint32_t filterIndex = 1;  // 1-based entry preselected; the entry in use afterwards
  std::string file;               // initial name; the chosen path afterwards
  std::string fileTitle;          // the chosen name without its folder afterwards
  std::string initialDir;
  std::string title;
  std::string defaultExt;
  std::uint32_t flags = 0;  // OFN_* bits in; as the dialog returned them out
  bool ownedByMainWindow = false;
};

// What the dialog function returned: 1 when a file was chosen, 0 when the user
// cancelled, anything else with an extended error code when it failed.
struct FileDialogOutcome {
  std::int32_t apiReturn = 0;
  std::int32_t extendedError = 0;
};

struct StartResult {
  bool started = false;
  std::string error;  // why the start failed, for the user
  // The started program's process id, given only by a platform that watches
  // the program and reports its end to MainForm::programEnded.
  std::optional<ProcessId> processId{};
};

// Why the launch journal could not be read.
struct JournalUnreadable {
  std::string reason;
};

// Whether this process may schedule a schedule file: only one scheduler of a
// user runs each schedule, or every task would launch twice.
struct ScheduleClaim {
  enum class Kind {
    Claimed,      // this process now schedules the file (or no file: nothing is held)
    HeldByOther,  // another process of the user schedules it
    Unavailable,  // the lock could not be taken for another reason; not held
  };
  Kind kind = Kind::Claimed;
  // HeldByOther: the other process, "process 4242 (kivctl)"; Unavailable: why.
  std::string detail;
};

// The one door from the core to the operating system and the toolkit. Each
// front-end implements it once; tests use a scripted fake.
class Platform {
 public:
  virtual ~Platform() = default;

  // Questions. Both run modal: other events, timer ticks among them, may be
  // handled before they return.
  virtual MessageAnswer messageBox(const MessageBoxRequest& request) = 0;
  // Returns the entered text, or the empty text when the user cancels.
  virtual std::string inputBox(const std::string& prompt, const std::string& title) = 0;

  // Files.
  virtual FileDialogOutcome fileDialog(FileDialogRecord& record) = 0;
  virtual std::string currentFolder() = 0;
  // The code page of the schedule file's texts: the system's ANSI code page,
  // Windows-1252 unless a front-end knows better.
  virtual const CodePage& ansiCodePage() const;
  // How schedule files are read and saved on this system.
  virtual FileStorage& fileStorage() = 0;
  // Whether programs are files without an extension, as on POSIX systems,
  // rather than ".exe" files the program dialog's own filters pick; false
  // unless a front-end knows better.
  virtual bool programsHaveNoExtension() const { return false; }

  // Window.
  virtual void showWindow() = 0;
  virtual void hideWindow() = 0;
  virtual void popupMenu(const MenuItem& menu) = 0;
  // Puts the window hook in place or takes it away: while installed, the
  // front-end passes every message of the main window to WindowHook::WindowProc.
  virtual void setWindowHook(bool installed) = 0;
  virtual void showHelp(int context) = 0;

  // Notification area; the result says whether the shell accepted the call.
  virtual bool notifyIcon(TrayOperation operation, const NotifyIconData& data) = 0;

  // Notification area: a message from the icon that asks nothing and closes
  // by itself; the tick goes on while it shows. Shows nothing where there is
  // no icon.
  virtual void notify(const std::string& title, const std::string& text) = 0;

  // Processes. startProcess starts a Windows command line minimised and
  // returns at once, without waiting for the program.
  virtual StartResult startProcess(const std::string& commandLine) = 0;
  virtual void endProcess() = 0;
  // The process's arguments: the command line after the program's own name.
  virtual std::string commandArguments() = 0;

  // Per-user settings store; an absent key reads as the empty text.
  virtual std::string readSetting(const std::string& application, const std::string& section,
                                  const std::string& key) = 0;
  virtual void writeSetting(const std::string& application, const std::string& section,
                            const std::string& key, const std::string& value) = 0;

  // Schedule locks, the operating system's, released when this process ends
  // however it ends. Claiming a file releases the one held before, but only
  // once the new claim succeeded; claiming the empty text releases it alone.
  virtual ScheduleClaim claimSchedule(const std::string& scheduleFile) = 0;

  // The per-user launch journal. appendJournalLine writes one line (given
  // without its line break) in a single piece, so lines of several writers
  // never interleave; nullopt once written, else why not. readJournal returns
  // its text, the older lines first, or why it cannot be read; a journal that
  // does not exist yet reads as empty.
  virtual std::optional<std::string> appendJournalLine(const std::string& line) = 0;
  virtual Result<std::string, JournalUnreadable> readJournal() = 0;

  // Clock and the user's regional formats. A reading carries the UTC offset
  // of its moment; the zone gives the offset of any moment.
  virtual ClockReading readClock() = 0;
  LocalTime now() { return readClock().local; }
  virtual const LocalZone& localZone() = 0;
  // The user's general date-and-time text: short date, a blank, long time.
  virtual std::string generalDateTime(LocalTime time) = 0;
  // The user's abbreviated month name, month 1 to 12.
  virtual std::string monthAbbreviation(int month) = 0;
};

}  // namespace kiv
