#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "notify_icon.h"
#include "resource_ids.h"
#include "shell/tray_tip.h"

namespace kiv {
namespace {

class NotifyIcon : public ::testing::Test {
 protected:
  ~NotifyIcon() override { DestroyWindow(window); }

  HWND window = CreateWindowExA(0, "STATIC", "Kiv", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_KIV));
  NotifyIconData data;
};

TEST_F(NotifyIcon, FillsTheOldest88ByteRecord) {
  setTrayTip(data, "Kiv - Kivander v7.0.0");
  const NOTIFYICONDATAA record = shellTrayRecord(data, window, icon);
  EXPECT_EQ(record.cbSize, 88U);
  EXPECT_EQ(record.hWnd, window);
  EXPECT_EQ(record.uID, 1U);
  EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(record.uCallbackMessage, 516U);
  EXPECT_EQ(record.hIcon, icon);
  // The tip field's 64 characters, blanks after the text, keep 63 and the NUL.
  EXPECT_EQ(std::string(record.szTip), "Kiv - Kivander v7.0.0" + std::string(63 - 21, ' '));
}

TEST_F(NotifyIcon, CutsALongTipAtTheFieldAndShowsItInTheCodePage) {
  setTrayTip(data,
             "Last launch: task 12 @ 06-d\xC3\xA9"
             "c-2026 15:04:05 (on demand) and far more text");
  const NOTIFYICONDATAA record = shellTrayRecord(data, window, icon);
  EXPECT_EQ(std::strlen(record.szTip), 63U);
  EXPECT_EQ(std::string(record.szTip, 30),
            "Last launch: task 12 @ 06-d\xE9"
            "c-");
  EXPECT_EQ(record.szTip[63], '\0');
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
      "Task 3 (Nightly compact) could not be started: " + std::string(300, 'x');
  const NOTIFYICONDATAA record = shellBalloonRecord("Kiv", text, window);
  EXPECT_EQ(record.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
  EXPECT_EQ(record.hWnd, window);
  EXPECT_EQ(record.uID, 1U);
  EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_INFO));
  EXPECT_EQ(record.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
  EXPECT_STREQ(record.szInfoTitle, "Kiv");
  EXPECT_EQ(std::string(record.szInfo), text.substr(0, 255));
  EXPECT_STREQ(record.szTip, "");
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
