#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "shortcut_keys.h"

namespace kiv {
namespace {

struct ShortcutCase {
  const char* shortcut;
  BYTE flags;
  WORD key;
};

class ShortcutKeys : public ::testing::TestWithParam<ShortcutCase> {};

TEST_P(ShortcutKeys, BecomeAccelerators) {
  const std::optional<ACCEL> accelerator = acceleratorFor(GetParam().shortcut, 42);
  ASSERT_TRUE(accelerator.has_value()) << GetParam().shortcut;
  EXPECT_EQ(accelerator->fVirt, GetParam().flags);
  EXPECT_EQ(accelerator->key, GetParam().key);
  EXPECT_EQ(accelerator->cmd, 42);
}

// The modifiers the accelerator flags name, held while `press` runs.
void holding(BYTE flags, const std::function<void()>& press) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  const auto hold = [&keys, flags](BYTE down) {
    keys[VK_CONTROL] = (flags & FCONTROL) != 0 ? down : 0;
    keys[VK_SHIFT] = (flags & FSHIFT) != 0 ? down : 0;
    keys[VK_MENU] = (flags & FALT) != 0 ? down : 0;
    SetKeyboardState(keys);
  };
  hold(0x80);
  press();
  hold(0);
}

TEST_P(ShortcutKeys, AreNamedWhenPressed) {
  const ShortcutCase& c = GetParam();
  const UINT message = (c.flags & FALT) != 0 ? WM_SYSKEYDOWN : WM_KEYDOWN;
  std::string pressed;
  holding(c.flags, [&] { pressed = shortcutPressed(MSG{nullptr, message, c.key, 1, 0, {}}); });
  EXPECT_EQ(pressed, c.shortcut);
}

INSTANTIATE_TEST_SUITE_P(Win32, ShortcutKeys,
                         ::testing::Values(ShortcutCase{"Ctrl+N", FVIRTKEY | FCONTROL, 'N'},
                                           ShortcutCase{"Ctrl+A", FVIRTKEY | FCONTROL, 'A'},
                                           ShortcutCase{"Ctrl+Shift+5",
                                                        FVIRTKEY | FCONTROL | FSHIFT, '5'},
                                           ShortcutCase{"Alt+F4", FVIRTKEY | FALT, VK_F4},
                                           ShortcutCase{"F1", FVIRTKEY, VK_F1},
                                           ShortcutCase{"Shift+F12", FVIRTKEY | FSHIFT, VK_F12}));

TEST(ShortcutKeys, RefuseTextsNoKeyMakes) {
  for (const char* shortcut :
       {"", "Ctrl+", "Ctrl+n", "Ctrl+NN", "F0", "F25", "F1x", "Meta+N", "Ctrl+?"}) {
    EXPECT_EQ(acceleratorFor(shortcut, 1), std::nullopt) << shortcut;
  }
}

TEST(ShortcutKeys, AreNotNamedForOtherMessagesOrKeys) {
  const MSG others[] = {
      {nullptr, WM_CHAR, 24, 1, 0, {}},          // the character Ctrl+X types
      {nullptr, WM_KEYUP, 'X', 1, 0, {}},        // a key let go
      {nullptr, WM_KEYDOWN, VK_LEFT, 1, 0, {}},  // no shortcut names the arrows
      {nullptr, WM_KEYDOWN, VK_F1 + 24, 1, 0, {}},
  };
  holding(FCONTROL, [&others] {
    for (const MSG& message : others) {
      EXPECT_EQ(shortcutPressed(message), "") << message.message << " " << message.wParam;
    }
  });
}

}  // namespace
}  // namespace kiv
