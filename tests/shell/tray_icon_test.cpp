#include "shell/tray_icon.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace kiv {
namespace {

TEST(TrayIcon, SetTrayIconFillsTheWholeRecordWithTheVersionLine) {
  testing::FakePlatform platform;
  TrayIcon tray(platform);
  tray.TrayData.szTip = "Last launch";
  tray.TrayData.uFlags = 0;

  tray.SetTrayIcon(true);
  tray.SetTrayIcon(false);

  ASSERT_EQ(platform.trayCalls.size(), 2U);
  EXPECT_EQ(platform.trayCalls[0].first, TrayOperation::Add);
  EXPECT_EQ(platform.trayCalls[1].first, TrayOperation::Delete);
  const NotifyIconData& data = platform.trayCalls[0].second;
  EXPECT_EQ(data.cbSize, 88U);
  EXPECT_EQ(data.uID, 1U);
  EXPECT_EQ(data.uFlags, 7U);
  EXPECT_EQ(data.uCallbackMessage, 516U);
  EXPECT_EQ(data.szTip, "Kiv - Kivander v7.0.0" + std::string(64 - 21, ' '));
}

TEST(WindowHook, ActivationAndHighMessagesBringTheIconBack) {
  struct Case {
    std::uint32_t message;
    std::uintptr_t wParam;
    bool readds;
  };
  const Case cases[] = {
      {0x001C, 1, true},        // the application is activated
      {0x001C, 0, false},       // deactivated
      {0x7FFF, 0, false},       // the last system message
      {0x8000, 0, true},        // application-defined
      {0xC0DE, 0, true},        // registered, e.g. the shell's "taskbar created"
      {0x80000000U, 0, false},  // negative as a signed number
      {0x0204, 0, false},
  };
  for (const Case& c : cases) {
    testing::FakePlatform platform;
    TrayIcon tray(platform);
    WindowHook hook(platform, tray);
    hook.WindowProc(c.message, c.wParam);
    EXPECT_EQ(platform.trayCalls.size(), c.readds ? 1U : 0U) << std::hex << c.message;
  }
}

TEST(WindowHook, HookAndUnhookReachThePlatform) {
  testing::FakePlatform platform;
  TrayIcon tray(platform);
  WindowHook hook(platform, tray);
  hook.HookWindow();
  EXPECT_TRUE(hook.hooked());
  hook.UnhookWindow();
  EXPECT_FALSE(hook.hooked());
  EXPECT_EQ(platform.windowHooks, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace kiv
