#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "shell/metrics_file.h"
#include "shell/platform.h"

namespace kiv::testing {

// The fake's file storage: real files, read as the Windows program reads
// them, but a save writes straight to its target. Each target it is handed is
// recorded; a scripted failure stands for a disk that will not take the file.
class FakeFileStorage : public FileStorage {
 public:
  bool flushSucceeds = true;  // false: every save fails as a refused flush
  std::vector<std::filesystem::path> savedFiles;

  FileResult<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path,
                                                 std::size_t limit) override;
  Result<void, FileError> replaceFile(const std::filesystem::path& target,
                                      std::span<const std::uint8_t> bytes) override;
};

// Databases, as far as the guard of a compact, repair or decompile asks:
// every database is a replaceable file of `size` bytes with room to spare,
// but those named in `missing`; a lock file is held as `lockFiles` says, by
// nobody when it names none. A copy is recorded, and its name is then found
// in its folder until it is removed.
class FakeDatabaseFiles : public DatabaseFiles {
 public:
  std::uint64_t size = 4096;
  std::map<std::string, LockFileState> lockFiles;
  std::vector<std::string> missing;
  std::vector<std::pair<std::string, std::string>> copies;  // from, to
  std::vector<std::string> removed;

  LockFileState lockFile(const std::string& path) override;
  Result<FileFacts, std::string> examineFile(const std::string& path) override;
  Result<VolumeSpace, std::string> volumeSpace(const std::string& folder) override;
  Result<void, std::string> makeFolder(const std::string& /*folder*/) override { return {}; }
  Result<std::vector<std::string>, std::string> folderNames(const std::string& folder) override;
  Result<void, std::string> copyFile(const std::string& from, const std::string& to) override;
  Result<void, std::string> removeFile(const std::string& path) override;
};

// The scripted Platform: questions are answered from queues the test fills,
// everything the core asks for is recorded, and the clock is the test's.
// A question with no scripted answer fails the test.
class FakePlatform : public Platform, public FakeFileStorage, public SystemLog, public MetricsFile {
 public:
  // Scripted answers, taken front first.
  std::deque<MessageAnswer> answers;
  // Once the scripted answers are used up, questions are answered as Enter
  // answers them: with their default button.
  bool enterAnswers = false;
  std::deque<std::string> inputs;
  // Answers of the Options dialog: the options OK returns, or nothing for Cancel.
  std::deque<std::optional<TaskOptions>> optionsAnswers;
  std::deque<std::pair<FileDialogOutcome, std::string>> fileChoices;  // outcome, chosen path
  std::deque<StartResult> startResults;  // when empty, every start succeeds
  // When set, a start that succeeds without a scripted result gives the
  // next process id from this one on, as a starter that watches its programs.
  std::optional<ProcessId> nextProcessId;
  const CodePage* codePage = nullptr;  // the schedule file's; Windows-1252 when null
  bool noProgramExtensions = false;    // programs are named as on POSIX

  // Runs inside the next question, before its answer is returned: the place
  // for a timer tick that arrives while a modal box is open.
  std::function<void()> duringNextQuestion;

  // What the core did.
  std::vector<MessageBoxRequest> messages;
  std::vector<std::pair<std::string, std::string>> inputBoxes;  // prompt, title
  std::vector<TaskOptionsRequest> optionsDialogs;
  std::vector<FileDialogRecord> fileDialogs;
  std::vector<std::string> launches;
  std::vector<std::pair<ProcessId, kiv::Ending>> endedPrograms;  // every endProgram call
  std::vector<std::pair<TrayOperation, NotifyIconData>> trayCalls;
  std::vector<bool> windowHooks;  // every setWindowHook call
  std::vector<int> helpContexts;
  std::vector<std::string> popups;
  int windowShows = 0;
  int windowHides = 0;
  bool ended = false;
  // The calls whose order matters, as they happened: "message: <text>",
  // "file dialog: <title>", "options: <title>", "show", "hide", "hook", "unhook", "tray add",
  // "tray modify", "tray delete", "notify: <text>", "end". A test may add its own entries to
  // place what the core did between them.
  std::vector<std::string> events;

  std::string arguments;
  std::string folder = "/";
  std::map<std::tuple<std::string, std::string, std::string>, std::string> settings;
  LocalTime clock{};
  std::chrono::seconds utcOffset{0};  // of the clock's readings
  // The rules of the user's time zone; a fixed zone at utcOffset when null.
  const LocalZone* zone = nullptr;

  void advance(std::chrono::seconds by) { clock += by; }
  // Sets the clock to what the zone's clock shows at `instant`.
  void setUtc(std::chrono::sys_seconds instant);

  // Notifications shown, title and text, failures among them; and the texts
  // of those shown as failures.
  std::vector<std::pair<std::string, std::string>> notifications;
  std::vector<std::string> failureNotices;

  // The journal: its lines as appended. While journalFailure holds a reason,
  // appending fails with it and keeps nothing.
  std::vector<std::string> journalLines;
  std::optional<std::string> journalFailure;

  // Schedule locks: the file this process holds, every claim made, and the
  // files other processes hold, with the holder's description.
  std::string claimedSchedule;
  std::vector<std::string> claims;
  std::map<std::string, std::string> heldByOthers;

  // The entries written to the system's log, in order.
  std::vector<SystemLogEntry> systemLogged;
  // Each text the metrics file was given, in order.
  std::vector<std::string> metricsWritten;

  // The databases the guard of a compact, repair or decompile looks at.
  FakeDatabaseFiles databases;

  MessageAnswer messageBox(const MessageBoxRequest& request) override;
  std::string inputBox(const std::string& prompt, const std::string& title) override;
  std::optional<TaskOptions> taskOptions(const TaskOptionsRequest& request) override;
  FileDialogOutcome fileDialog(FileDialogRecord& record) override;
  std::string currentFolder() override { return folder; }
  const CodePage& ansiCodePage() const override;
  FileStorage& fileStorage() override { return *this; }
  DatabaseFiles& databaseFiles() override { return databases; }
  bool programsHaveNoExtension() const override { return noProgramExtensions; }
  void showWindow() override;
  void hideWindow() override;
  void popupMenu(const MenuItem& menu) override;
  void showHelp(int context) override { helpContexts.push_back(context); }
  void setWindowHook(bool installed) override;
  bool notifyIcon(TrayOperation operation, const NotifyIconData& data) override;
  void notify(const std::string& title, const std::string& text) override;
  void notifyFailure(const std::string& title, const std::string& text) override;
  StartResult startProcess(const std::string& commandLine) override;
  void endProgram(ProcessId pid, kiv::Ending how) override { endedPrograms.emplace_back(pid, how); }
  void endProcess() override;
  std::string commandArguments() override { return arguments; }
  std::string readSetting(const std::string& application, const std::string& section,
                          const std::string& key) override;
  void writeSetting(const std::string& application, const std::string& section,
                    const std::string& key, const std::string& value) override;
  ScheduleClaim claimSchedule(const std::string& scheduleFile) override;
  Result<void, std::string> appendJournalLine(const std::string& line) override;
  Result<std::string, JournalUnreadable> readJournal() override;
  SystemLog* systemLog() override { return this; }
  void writeSystemLog(const SystemLogEntry& entry) override { systemLogged.push_back(entry); }
  void writeMetrics(const std::string& exposition) override {
    metricsWritten.push_back(exposition);
  }
  ClockReading readClock() override { return {clock, utcOffset}; }
  const LocalZone& localZone() override;
  std::string generalDateTime(LocalTime time) override;
  std::string monthAbbreviation(int month) override;

 private:
  void runDuringQuestion();

  FixedZone fixedZone_;
};

}  // namespace kiv::testing
