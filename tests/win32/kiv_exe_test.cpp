#include <gtest/gtest.h>

#include "windows_api.h"

#include <shellapi.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "base/identity.h"
#include "command_ids.h"
#include "schedule_file/schedule_file_io.h"
#include "single_scheduler.h"
#include "waiting.h"
#include "win32_file_storage.h"
#include "win32_platform.h"
#include "window_search.h"

namespace kiv {
namespace {

using testing::waitUntil;

// Kiv.exe itself, as the build made it (named by the test's environment).
std::string kivExe() {
  const char* program = std::getenv("KIV_EXE");
  return program != nullptr ? program : "";
}

// The notification area knows the window's icon: the shell accepts a change to it.
bool iconShown(HWND window) {
  NOTIFYICONDATAA probe{};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = window;
  probe.uID = 1;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// Kiv.exe started as a user or the system starts it, watched from outside.
class KivExe : public ::testing::Test {
 protected:
  ~KivExe() override {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) kill();
    CloseHandle(process_.hProcess);
  }

  // Starts Kiv.exe with `arguments` and waits until start-up is complete:
  // its last step adds the icon.
  void start(const std::string& arguments) {
    ASSERT_FALSE(kivExe().empty()) << "KIV_EXE names no program";
    std::string commandLine = "\"" + kivExe() + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process_))
        << commandLine;
    CloseHandle(process_.hThread);
    const testing::WindowQuery formWindow{process_.dwProcessId, "KivForm", "", false};
    ASSERT_TRUE(waitUntil([&] {
      window = testing::findTopLevelWindow(formWindow);
      return window != nullptr && iconShown(window);
    }));
  }

  bool ends() {
    return waitUntil([this] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; });
  }

  // Another start of Kiv.exe, run to its end; its exit code, or nothing when
  // it did not end.
  static std::optional<DWORD> startAgain(const std::string& arguments) {
    std::string commandLine = "\"" + kivExe() + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION again{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &again) == FALSE) {
      return std::nullopt;
    }
    CloseHandle(again.hThread);
    std::optional<DWORD> code;
    if (WaitForSingleObject(again.hProcess, 20000) == WAIT_OBJECT_0) {
      DWORD exit = 0;
      GetExitCodeProcess(again.hProcess, &exit);
      code = exit;
    } else {
      TerminateProcess(again.hProcess, 1);
    }
    CloseHandle(again.hProcess);
    return code;
  }

  // Gone before the next test starts one: its locks go with it. A killed
  // program cannot take its icon away, so the test does, lest a later click
  // on the notification area meet a dead icon.
  void kill() {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = window;
    icon.uID = 1;
    Shell_NotifyIconA(NIM_DELETE, &icon);
  }

  DWORD exitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

  // The text a control of Kiv.exe's window shows, asked across the process boundary.
  std::string textOf(const Control& control) const {
    char text[256] = {};
    SendMessageA(GetDlgItem(window, ids_.idOf(control)), WM_GETTEXT, sizeof text,
                 reinterpret_cast<LPARAM>(text));
    return text;
  }

  // A close request from this process, as the task manager or Windows sends it.
  void send(UINT message, WPARAM wParam = 0) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, 0, SMTO_ABORTIFHUNG, 5000, &result);
  }

  HWND window = nullptr;
  // A form of the test's own, laid out as Kiv.exe's: it names the controls.
  Win32Platform platform_{GetModuleHandleA(nullptr)};
  MainForm form{platform_};

 private:
  CommandIds ids_{form};
  PROCESS_INFORMATION process_{};
};

TEST_F(KivExe, StartsHiddenWithItsIconInTheNotificationArea) {
  start("");
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(textOf(form.TBox[kUserNameBox]), "Admin");
  EXPECT_EQ(textOf(form.TBox[kTaskNameBox]), "");
}

TEST_F(KivExe, ShowsItsWindowForALeftPressOnTheIcon) {
  start("");
  PostMessageA(window, 516, 1, WM_LBUTTONDOWN);
  EXPECT_TRUE(waitUntil([this] { return IsWindowVisible(window) != FALSE; }));
}

TEST_F(KivExe, EndsWithoutAQuestionWhenTheTaskManagerClosesIt) {
  start("");
  send(WM_CLOSE);
  ASSERT_TRUE(ends());
  EXPECT_EQ(exitCode(), 0U);
  // The icon went before the process did.
  EXPECT_FALSE(iconShown(window));
}

TEST_F(KivExe, EndsWithoutAQuestionWhenTheSessionEnds) {
  start("");
  send(WM_QUERYENDSESSION);
  ASSERT_TRUE(ends());
  EXPECT_EQ(exitCode(), 0U);
}

// A schedule file in the temporary folder, with a name for task 1.
class KivExeWithSchedule : public KivExe {
 protected:
  KivExeWithSchedule() {
    char temporary[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temporary);
    schedule = std::string(temporary) + "kiv-exe-" + std::to_string(GetCurrentProcessId()) + ".kiv";
    TaskTable tasks;
    tasks[0].TaskName = "Nightly compact";
    Win32FileStorage storage;
    writeScheduleFile(std::filesystem::path(schedule), tasks, storage);
  }
  ~KivExeWithSchedule() override { DeleteFileA(schedule.c_str()); }

  std::string schedule;
};

TEST_F(KivExeWithSchedule, OpensTheScheduleNamedAfterSlashO) {
  start("/o " + schedule);
  EXPECT_EQ(textOf(form.TBox[kTaskNameBox]), "Nightly compact");
}

// A second start hands its command line to the first Kiv.exe and ends; the
// first opens the schedule and shows its window.
TEST_F(KivExeWithSchedule, ASecondStartHandsItsScheduleToTheFirstAndEnds) {
  start("");
  EXPECT_EQ(startAgain("/o " + schedule), std::optional<DWORD>(0));
  EXPECT_TRUE(waitUntil([this] { return IsWindowVisible(window) != FALSE; }));
  EXPECT_EQ(textOf(form.TBox[kTaskNameBox]), "Nightly compact");
}

// The schedule's lock is the first Kiv.exe's while it runs, and free again
// once it has been killed.
TEST_F(KivExeWithSchedule, AKilledHoldersScheduleIsFreeAgain) {
  start("/o " + schedule);
  ScheduleMutexes probe;
  EXPECT_EQ(probe.claim(schedule).kind, ScheduleClaim::Kind::HeldByOther);
  kill();
  EXPECT_EQ(probe.claim(schedule).kind, ScheduleClaim::Kind::Claimed);
}

TEST_F(KivExeWithSchedule, IgnoresAnyOtherCommandLine) {
  start("/O " + schedule);
  EXPECT_EQ(textOf(form.TBox[kTaskNameBox]), "");
}

std::string versionText(const std::string& block, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string query = "\\StringFileInfo\\040904E4\\" + std::string(name);
  if (VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) ==
      FALSE)
    return "";
  return value;
}

TEST(KivExeVersion, NamesTheProductAsTheIdentityDoes) {
  const std::string program = kivExe();
  DWORD ignored = 0;
  std::string block(GetFileVersionInfoSizeA(program.c_str(), &ignored), '\0');
  ASSERT_FALSE(block.empty()) << program;
  ASSERT_TRUE(
      GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  EXPECT_EQ(versionText(block, "FileVersion"), "7.00");
  EXPECT_EQ(versionText(block, "ProductVersion"), "7.00");
  EXPECT_EQ(versionText(block, "ProductName"), identity::kProductName);
  EXPECT_EQ(versionText(block, "FileDescription"), identity::kDescription);
  EXPECT_EQ(versionText(block, "Comments"), identity::kComments);
  EXPECT_EQ(versionText(block, "LegalCopyright"), "Copyright (c) 2026 The Kiv developers");

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), identity::kMajor);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), identity::kMinor);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), identity::kRevision);
}

}  // namespace
}  // namespace kiv
