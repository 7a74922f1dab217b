#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kiv
