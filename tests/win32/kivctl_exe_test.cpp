// kivctl.exe itself, started as a script or an administrator's console
// starts it.
#include <gtest/gtest.h>

#include "windows_api.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/local_time.h"
#include "compile/printed_command_line.h"
#include "console_events.h"
#include "journal_folder.h"
#include "local_clock.h"
#include "schedule_files.h"
#include "stand_in_record.h"
#include "stop_signals.h"
#include "strict_json.h"
#include "support/temp_folder.h"
#include "unique_handle.h"
#include "waiting.h"
#include "wide_text.h"

namespace kiv {
namespace {

using testing::fileText;
using testing::waitUntil;

std::string kivctlExe() {
  const char* program = std::getenv("KIVCTL_EXE");
  return program != nullptr ? program : "";
}

std::wstring quoted(const std::string& argument) {
  return L"\"" + toWide(argument) + L"\"";
}

// kivctl.exe run with `arguments`, its standard output and error going to
// files of a folder of their own. `creationFlags` as CreateProcess takes them.
class KivctlProcess {
 public:
  explicit KivctlProcess(const std::vector<std::string>& arguments, DWORD creationFlags = 0) {
    std::wstring commandLine = quoted(kivctlExe());
    for (const std::string& argument : arguments) commandLine += L" " + quoted(argument);
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto open = [&](const std::filesystem::path& file) {
      return CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE out = open(folder_.path() / "stdout.txt");
    HANDLE err = open(folder_.path() / "stderr.txt");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = out;
    startup.hStdError = err;
    started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, creationFlags,
                              nullptr, nullptr, &startup, &process_) != FALSE;
    CloseHandle(out);
    CloseHandle(err);
    if (started_) CloseHandle(process_.hThread);
  }
  ~KivctlProcess() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hProcess);
  }
  KivctlProcess(const KivctlProcess&) = delete;
  KivctlProcess& operator=(const KivctlProcess&) = delete;

  bool started() const { return started_; }
  DWORD id() const { return process_.dwProcessId; }
  // The exit status once the process has ended within the limit; nothing else.
  std::optional<DWORD> exitStatus(DWORD limitMilliseconds = 30000) const {
    if (!started_ || WaitForSingleObject(process_.hProcess, limitMilliseconds) != WAIT_OBJECT_0)
      return std::nullopt;
    DWORD status = 0;
    GetExitCodeProcess(process_.hProcess, &status);
    return status;
  }
  std::string out() const { return fileText(folder_.path() / "stdout.txt"); }
  std::string err() const { return fileText(folder_.path() / "stderr.txt"); }

 private:
  testing::TempFolder folder_;
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

TEST(KivctlExe, ExitsAsOnPosixWithOneLineOnStandardError) {
  ASSERT_FALSE(kivctlExe().empty()) << "KIVCTL_EXE names no program";
  const KivctlProcess version({"--version"});
  ASSERT_TRUE(version.started());
  EXPECT_EQ(version.exitStatus(), 0U);
  // Line ends as on POSIX: the bytes match kivctl's everywhere.
  EXPECT_EQ(version.out(), "kivctl (Kivander) 7.0.0\n");

  const KivctlProcess unknown({"show", "a.kiv"});
  EXPECT_EQ(unknown.exitStatus(), 2U);
  EXPECT_EQ(unknown.err(), "kivctl: unknown command 'show'; try 'kivctl --help'\n");
  EXPECT_EQ(unknown.out(), "");

  const KivctlProcess help({"--help"});
  EXPECT_EQ(help.exitStatus(), 0U);
  EXPECT_NE(help.out().find("ends on Ctrl+C, Ctrl+Break or the console's closing"),
            std::string::npos)
      << help.out();
}

// A folder whose name holds characters beyond the ANSI code page.
class KivctlExeFolder : public ::testing::Test {
 protected:
  KivctlExeFolder() { std::filesystem::create_directory(folder); }

  testing::TempFolder temporary;
  std::filesystem::path folder = temporary.path() / L"\u0394\u03B2\u03B3 \u00E9";
  std::string folderText = fromWide(folder.wstring());
};

TEST_F(KivctlExeFolder, TakesAndWritesPathsAndTextsAsUtf8) {
  TaskTable tasks;
  tasks[0].TaskName = "Caf\xC3\xA9 \xE2\x82\xAC";
  tasks[0].Compiled = 1;
  testing::writeSchedule(folder / "nightly.kiv", tasks);
  const std::string file = folderText + "\\nightly.kiv";

  const KivctlProcess listing({"list", file, "--json"});
  EXPECT_EQ(listing.exitStatus(), 0U) << listing.err();
  const auto json = testing::parseJson(listing.out());
  ASSERT_TRUE(json) << listing.out();
  EXPECT_EQ(json->at("tasks").at(0).at("taskName").get<std::string>(), "Caf\xC3\xA9 \xE2\x82\xAC");

  // check names the file as it was given.
  const KivctlProcess check({"check", file});
  EXPECT_EQ(check.exitStatus(), 1U);
  EXPECT_TRUE(check.out().starts_with(file + ": task 1: ")) << check.out();

  const KivctlProcess missing({"list", folderText + "\\missing.kiv"});
  EXPECT_EQ(missing.exitStatus(), 1U);
  EXPECT_TRUE(missing.err().starts_with("kivctl: " + folderText + "\\missing.kiv: 2: "))
      << missing.err();

  const KivctlProcess convert({"convert", file, folderText + "\\copy.kiv"});
  EXPECT_EQ(convert.exitStatus(), 0U) << convert.err();
  EXPECT_EQ(fileText(folder / "copy.kiv"), fileText(folder / "nightly.kiv"));
}

// A compiled task of the stand-in, due a few seconds from now.
Task dueStandInTask(int secondsAhead) {
  Task task;
  task.TaskName = "Soon";
  task.LaunchAt =
      dateTimeText(readLocalClock().local + std::chrono::seconds{secondsAhead}).substr(11);
  task.Username = "Admin";
  task.Password = "p\xC3\xA4ss \"x\"";
  task.AccessLocation = testing::StandInRecord::program();
  task.DatabaseLocation =
      "C:\\Donn\xC3\xA9"
      "es\\caf\xC3\xA9 \xE2\x82\xAC.mdb";
  task.Action = 0;
  task.Compiled = 1;
  return task;
}

const std::string kReady = "Ctrl+C, Ctrl+Break or the console's closing.\n";

TEST_F(KivctlExeFolder, RunStartsTheProgramWithItsCommandLineExactly) {
  TaskTable tasks;
  tasks[4] = dueStandInTask(3);
  tasks[4].CloseAfterRunning = 1;
  testing::writeSchedule(folder / "soon.kiv", tasks);
  const testing::StandInRecord record;

  const KivctlProcess run({"run", folderText + "\\soon.kiv"});
  // The task closes the scheduler after running: it ends by itself.
  EXPECT_EQ(run.exitStatus(), 0U) << run.err();
  EXPECT_EQ(record.commandLine(), printedCommandLine(tasks[4], true));
  EXPECT_TRUE(run.out().starts_with("Last launch: task 5 @ ")) << run.out();
  EXPECT_NE(run.err().find(kReady), std::string::npos) << run.err();
  EXPECT_EQ(run.err().find("p\xC3\xA4ss"), std::string::npos) << run.err();
}

TEST_F(KivctlExeFolder, RunTellsOfAProgramThatFailsAndHistoryShowsHowItEnded) {
  const testing::JournalFolder journal;
  TaskTable tasks;
  tasks[3] = dueStandInTask(4);
  tasks[3].TaskName = "Nightly compact";
  testing::writeSchedule(folder / "nightly.kiv", tasks);
  const std::string file = folderText + "\\nightly.kiv";
  const testing::StandInRecord record;
  record.exitWith(3);
  {
    const KivctlProcess run({"run", file});
    EXPECT_TRUE(waitUntil([&] { return run.err().find(" failed: ") != std::string::npos; }))
        << run.err();
    EXPECT_NE(run.err().find(" Task 4 (Nightly compact) failed: exit status 3 after "),
              std::string::npos)
        << run.err();
  }
  // The end is journalled before the user is told of it.
  const std::vector<std::string> lines = journal.lines();
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_NE(lines[0].find(R"("result":"started","pid":)"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find(R"("record":"ended")"), std::string::npos) << lines[1];
  EXPECT_NE(lines[1].find(R"("outcome":"exited","exitStatus":3,"durationMs":)"), std::string::npos)
      << lines[1];

  const KivctlProcess json({"history", file, "--json"});
  EXPECT_EQ(json.exitStatus(), 0U) << json.err();
  const auto launches = testing::parseJson(json.out());
  ASSERT_TRUE(launches) << json.out();
  ASSERT_EQ(launches->get_ref<const nlohmann::json::array_t&>().size(), 1U);
  const nlohmann::json& launch = launches->get_ref<const nlohmann::json::array_t&>()[0];
  EXPECT_EQ(launch.at("task").get<std::int64_t>(), 4);
  EXPECT_EQ(launch.at("result").get<std::string>(), "started");
  EXPECT_EQ(launch.at("outcome").at("kind").get<std::string>(), "exited");
  EXPECT_EQ(launch.at("outcome").at("exitStatus").get<std::int64_t>(), 3);
  EXPECT_GE(launch.at("outcome").at("durationMs").get<std::int64_t>(), 0);

  // The heading, then the launch's row with the outcome joined.
  const KivctlProcess history({"history", file, "--wide"});
  EXPECT_EQ(history.exitStatus(), 0U) << history.err();
  const std::string table = history.out();
  EXPECT_TRUE(table.starts_with("at ")) << table;
  EXPECT_NE(
      table.find("  Nightly compact  scheduled  started, pid " +
                 std::to_string(launch.at("pid").get<std::int64_t>()) + "  exit status 3 after "),
      std::string::npos)
      << table;
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 2) << table;
}

// An empty table would look like a schedule that never launched: a journal
// that cannot be read, or that was never kept here, is a failure.
TEST(KivctlExe, HistoryFailsOnAJournalItCannotRead) {
  struct Case {
    const char* name;
    bool folder;
    bool journalAFolder;
    DWORD status;
    std::string err;  // its beginning
  };
  const std::vector<Case> cases{
      {"no journal folder", false, false, 1,
       "kivctl: the launch journal cannot be read: its folder "},
      {"a folder for the journal", true, true, 1, "kivctl: the launch journal cannot be read: "},
      {"nothing journalled yet", true, false, 0, ""},
  };
  for (const Case& c : cases) {
    const testing::JournalFolder journal;
    if (c.folder) std::filesystem::create_directories(journal.journal().parent_path());
    if (c.journalAFolder) std::filesystem::create_directories(journal.journal());
    const KivctlProcess history({"history"});
    EXPECT_EQ(history.exitStatus(), c.status) << c.name << ": " << history.err();
    EXPECT_TRUE(history.err().starts_with(c.err)) << c.name << ": " << history.err();
    EXPECT_EQ(std::ranges::count(history.err(), '\n'), c.err.empty() ? 0 : 1) << c.name;
  }
}

// One schedule, one scheduler: the second is refused while the first runs.
TEST_F(KivctlExeFolder, ASecondRunOfOneScheduleIsRefusedWithOneLine) {
  const testing::JournalFolder journal;
  testing::writeSchedule(folder / "nightly.kiv", TaskTable{});
  const std::string file = folderText + "\\nightly.kiv";
  const KivctlProcess first({"run", file});
  ASSERT_TRUE(waitUntil([&] { return first.err().find(kReady) != std::string::npos; }))
      << first.err();

  const KivctlProcess second({"run", file});
  EXPECT_EQ(second.exitStatus(), 1U);
  EXPECT_EQ(second.err(),
            "kivctl: " + file + " is already being scheduled by another Kiv program\n");
  EXPECT_EQ(second.out(), "");
  EXPECT_EQ(first.exitStatus(0), std::nullopt);
}

TEST(KivctlStopSignals, CtrlCAndCtrlBreakEndTheWaitAtOnce) {
  for (const DWORD event : {DWORD{CTRL_C_EVENT}, DWORD{CTRL_BREAK_EVENT}}) {
    ctl::StopSignals stop;
    EXPECT_TRUE(stop.wait(std::chrono::milliseconds{20})) << event;
    // As the console calls it, from a thread of its own.
    BOOL taken = FALSE;
    std::thread console([&] { taken = ctl::onConsoleEvent(event); });
    console.join();
    EXPECT_TRUE(taken) << event;
    // A wait that ran out would answer true.
    EXPECT_FALSE(stop.wait(std::chrono::seconds{20})) << event;
  }
}

TEST(KivctlStopSignals, AWaitForATimerEndsWhenItIsDueOrAtOnceOnAStop) {
  ctl::StopSignals stop;
  const UniqueHandle due(CreateEventW(nullptr, FALSE, TRUE, nullptr));
  EXPECT_TRUE(stop.waitFor(due.get()));
  std::thread console([] { ctl::onConsoleEvent(CTRL_C_EVENT); });
  console.join();
  // Even with the timer due as well, the stop is taken.
  SetEvent(due.get());
  EXPECT_FALSE(stop.waitFor(due.get()));
}

TEST(KivctlStopSignals, LeavesOtherEventsToTheNextHandler) {
  const ctl::StopSignals stop;
  EXPECT_FALSE(ctl::onConsoleEvent(0x7F));
}

}  // namespace
}  // namespace kiv
