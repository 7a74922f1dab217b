#include <gtest/gtest.h>

#include <string>

#include "notify_icon.h"
#include "resource_ids.h"
#include "shell/tray_tip.h"
#include "wide_text.h"

namespace kiv {
namespace {

class NotifyIcon : public ::testing::Test {
 protected:
  ~NotifyIcon() override { DestroyWindow(window); }

  HWND window = CreateWindowExW(0, L"STATIC", L"Kiv", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KIV));
  NotifyIconData data;
};

TEST_F(NotifyIcon, FillsTheOldestRecordInItsWideForm) {
  setTrayTip(data, "Kiv - Kivander v7.0.0");
  const NOTIFYICONDATAW record = shellTrayRecord(data, window, icon);
  // The core's record stays the documented 88-byte one.
  EXPECT_EQ(data.cbSize, 88U);
  EXPECT_EQ(record.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE));
  EXPECT_EQ(record.hWnd, window);
  EXPECT_EQ(record.uID, 1U);
  EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(record.uCallbackMessage, 516U);
  EXPECT_EQ(record.hIcon, icon);
  // The tip field's 64 characters, blanks after the text, keep 63 and the NUL.
  EXPECT_EQ(fromWide(record.szTip), "Kiv - Kivander v7.0.0" + std::string(63 - 21, ' '));
}

TEST_F(NotifyIcon, ShowsEveryCharacterOfTheTipAndCutsItAtTheField) {
  setTrayTip(data,
             "Last launch: task 12 @ 06-\xCE\x94\xCE\xB5\xCE\xBA-2026 15:04:05 (on demand) and far "
             "more text");
  const NOTIFYICONDATAW record = shellTrayRecord(data, window, icon);
  EXPECT_EQ(std::wstring(record.szTip).size(), 63U);
  EXPECT_EQ(std::wstring(record.szTip, 34), L"Last launch: task 12 @ 06-\u0394\u03B5\u03BA-2026");
  EXPECT_EQ(record.szTip[63], L'\0');
}

TEST_F(NotifyIcon, NeverCutsACharacterInTwo) {
  // 62 letters and a character of two UTF-16 code units: only the letters fit.
  setTrayTip(data, std::string(62, 'a') + "\xF0\x9F\x98\x80");
  const NOTIFYICONDATAW record = shellTrayRecord(data, window, icon);
  EXPECT_EQ(std::wstring(record.szTip), std::wstring(62, L'a'));
}

TEST_F(NotifyIcon, IsAddedModifiedAndDeletedByTheShell) {
  ASSERT_NE(window, nullptr);
  setTrayTip(data, "Kiv - Kivander v7.0.0");
  EXPECT_TRUE(notifyShell(TrayOperation::Add, data, window, icon));
  setTrayTip(data, "Last launch: task 1 @ 06-Dec-2026 15:04:05 (on demand)");
  EXPECT_TRUE(notifyShell(TrayOperation::Modify, data, window, icon));
  EXPECT_TRUE(notifyShell(TrayOperation::Delete, data, window, icon));
  // Gone: the shell refuses to modify or delete it again.
  EXPECT_FALSE(notifyShell(TrayOperation::Modify, data, window, icon));
  EXPECT_FALSE(notifyShell(TrayOperation::Delete, data, window, icon));
}

TEST_F(NotifyIcon, ABalloonSetsOnlyItsMessageAndLeavesTheTip) {
  const std::string text =
      "Task 3 (Nachtlauf \xC3\xBC) could not be started: " + std::string(300, 'x');
  const NOTIFYICONDATAW record = shellBalloonRecord("Kiv \xE2\x82\xAC", text, window);
  EXPECT_EQ(record.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE));
  EXPECT_EQ(record.hWnd, window);
  EXPECT_EQ(record.uID, 1U);
  EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_INFO));
  EXPECT_EQ(record.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
  EXPECT_EQ(std::wstring(record.szInfoTitle), L"Kiv \u20AC");
  EXPECT_EQ(std::wstring(record.szInfo), toWide(text).substr(0, 255));
  EXPECT_EQ(std::wstring(record.szTip), L"");
}

TEST_F(NotifyIcon, ABalloonIsCutBeforeACharacterRatherThanThroughIt) {
  // U+1F600 takes two UTF-16 code units, the second of which would be the 256th.
  const std::string text = std::string(254, 'x') + "\xF0\x9F\x98\x80";
  const NOTIFYICONDATAW record = shellBalloonRecord("Kiv", text, window);
  EXPECT_EQ(std::wstring(record.szInfo), std::wstring(254, L'x'));
}

TEST_F(NotifyIcon, ABalloonComesFromTheIconOnceItIsThere) {
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(showBalloon("Kiv", "no icon yet", window));
  setTrayTip(data, "Kiv - Kivander v7.0.0");
  ASSERT_TRUE(notifyShell(TrayOperation::Add, data, window, icon));
  EXPECT_TRUE(
      showBalloon("Kiv", "Task 3 (Nightly compact) failed: exit status 2 after 1.5 s.", window));
  EXPECT_TRUE(notifyShell(TrayOperation::Delete, data, window, icon));
}

}  // namespace
}  // namespace kiv
