#include "form/focus_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/compiled_task.h"
#include "support/form_fixture.h"

namespace kiv {
namespace {

using testing::FormTest;

// Every menu shortcut, as the menu items carry them.
std::vector<std::string> menuShortcuts(MainForm& form) {
  std::vector<std::string> shortcuts;
  for (const Control* control : form.controls()) {
    if (control->kind() != ControlKind::MenuItem) continue;
    const auto& item = static_cast<const MenuItem&>(*control);
    if (!item.shortcut.empty()) shortcuts.push_back(item.shortcut);
  }
  return shortcuts;
}

bool clipboardOrSelectionKey(const std::string& key) {
  return key == "Ctrl+X" || key == "Ctrl+C" || key == "Ctrl+V" || key == "Ctrl+A";
}

TEST_F(FormTest, AnEditableTextBoxKeepsTheClipboardAndSelectionKeys) {
  std::vector<std::string> keys = menuShortcuts(form);
  ASSERT_EQ(keys.size(), 9U);
  // Copying and pasting are no menu item's, but the box keeps them all the same.
  keys.insert(keys.end(), {"Ctrl+C", "Ctrl+V"});
  for (TextBox& box : form.TBox) {
    box.setVisible(true);
    form.setFocus(box);
    for (const std::string& key : keys) {
      EXPECT_EQ(focusKeepsKey(form, key), clipboardOrSelectionKey(key))
          << "TBox " << box.index() << ", " << key;
    }
  }
}

TEST_F(FormTest, EveryMenuKeyChoosesItsItemWhereNoTextIsEdited) {
  fillRequiredFields();
  form.cmdCompile.press();  // the lock disables every field but the launch time
  ASSERT_FALSE(form.TBox[kTaskNameBox].enabled());
  form.TBox[kMacroBox].setVisible(false);

  // A box the lock disabled may still hold the focus it had before.
  std::vector<Control*> focused{&form.cmbTask,        &form.cmbDays,     &form.Check2,
                                &form.cmdCompile,     &form.Command1[0], &form.TBox[kTaskNameBox],
                                &form.TBox[kMacroBox]};
  for (Control* control : focused) {
    form.setFocus(*control);
    for (const std::string& key : menuShortcuts(form)) {
      EXPECT_FALSE(focusKeepsKey(form, key)) << control->name() << control->index() << ", " << key;
    }
  }
}

TEST(FocusKeys, NothingIsKeptBeforeAnythingHasTheFocus) {
  testing::FakePlatform platform;
  MainForm form{platform};
  ASSERT_EQ(form.activeControl(), nullptr);
  EXPECT_FALSE(focusKeepsKey(form, "Ctrl+X"));
}

// The launch-time box keeps the keys, and its filter then discards the
// characters they type: they do nothing there, and choose nothing either.
TEST_F(FormTest, TheLaunchTimeBoxKeepsTheKeysAndTypesNothing) {
  form.setFocus(form.TBox[kLaunchAtBox]);
  for (const auto& [key, typed] : {std::pair{"Ctrl+X", 24}, std::pair{"Ctrl+C", 3},
                                   std::pair{"Ctrl+V", 22}, std::pair{"Ctrl+A", 1}}) {
    EXPECT_TRUE(focusKeepsKey(form, key)) << key;
    int code = typed;
    form.TBox_KeyPress(kLaunchAtBox, code);
    EXPECT_EQ(code, 0) << key;
  }
}

}  // namespace
}  // namespace kiv
