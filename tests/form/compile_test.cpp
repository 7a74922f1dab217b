#include <gtest/gtest.h>

#include "support/form_fixture.h"

namespace kiv {
namespace {

using testing::FormTest;

// Every control whose enabled state the lock decides, with its state while
// the shown task is editable.
std::vector<std::pair<const Control*, bool>> lockedControls(const MainForm& form) {
  std::vector<std::pair<const Control*, bool>> controls;
  for (int box = 1; box <= 7; ++box) controls.emplace_back(&form.TBox[box], true);
  for (const Control* control : std::initializer_list<const Control*>{
           &form.Check1, &form.Check2, &form.cmbVer, &form.cmbAction, &form.cmbDays,
           &form.Command1[0], &form.Command1[1], &form.Command1[2]}) {
    controls.emplace_back(control, true);
  }
  for (const Control* control : std::initializer_list<const Control*>{&form.cmdRun, &form.mnuRun}) {
    controls.emplace_back(control, false);
  }
  return controls;
}

void expectEditable(const MainForm& form, bool editable) {
  for (const auto& [control, enabledWhenEditable] : lockedControls(form)) {
    EXPECT_EQ(control->enabled(), editable == enabledWhenEditable)
        << control->name() << ' ' << control->index();
  }
  for (const Control* control : std::initializer_list<const Control*>{
           &form.TBox[kLaunchAtBox], &form.cmbTask, &form.cmdCompile, &form.mnuCompile}) {
    EXPECT_TRUE(control->enabled()) << control->name();
  }
  EXPECT_EQ(form.TBox[kLaunchAtBox].foreColor(), editable ? kBlack : kRed);
  EXPECT_EQ(form.mnuCompile.caption(), editable ? "Co&mpile" : "Deco&mpile");
  EXPECT_EQ(form.cmdCompile.caption(), editable ? "Co&mpile task" : "Deco&mpile task");
}

TEST_F(FormTest, CompileLocksTheTaskAndComposesItsLine) {
  fillRequiredFields();
  form.fctnChange(false);

  form.cmdCompile.press();

  EXPECT_TRUE(platform.messages.empty());
  expectEditable(form, false);
  EXPECT_EQ(form.tasks[0].Compiled, 1);
  EXPECT_EQ(form.tasks[0].CommandLine,
            R"("/opt/db/access" "/srv/orders.mdb" /user Admin /compact)");
  EXPECT_TRUE(form.mnuSave.enabled());
}

TEST_F(FormTest, SecondPressUncompiles) {
  fillRequiredFields();
  form.cmdCompile.press();
  form.fctnChange(false);

  form.mnuCompile.press();

  expectEditable(form, true);
  EXPECT_EQ(form.tasks[0].Compiled, 0);
  EXPECT_EQ(form.tasks[0].CommandLine, "");
  EXPECT_TRUE(form.mnuSave.enabled());
}

TEST_F(FormTest, LaunchTimeOfACompiledTaskStaysEditable) {
  fillRequiredFields();
  form.cmdCompile.press();

  form.TBox[kLaunchAtBox].setText("07:30:00");

  EXPECT_EQ(form.tasks[0].LaunchAt, "07:30:00");
  EXPECT_EQ(form.tasks[0].Compiled, 1);
  EXPECT_FALSE(form.tasks[0].CommandLine.empty());
}

TEST_F(FormTest, FailedValidationWarnsFocusesAndChangesNothing) {
  form.TBox[kPasswordBox].setText("secret");
  form.TBox[kUserNameBox].setText("");
  form.fctnChange(false);
  const Task before = form.tasks[0];

  form.cmdCompile.press();

  ASSERT_EQ(platform.messages.size(), 1U);
  const MessageBoxRequest& message = platform.messages.front();
  EXPECT_EQ(message.text, "A username is required.");
  EXPECT_EQ(message.icon, MessageIcon::Exclamation);
  EXPECT_EQ(message.buttons, MessageButtons::Ok);
  EXPECT_EQ(message.title, "Kiv");
  EXPECT_EQ(form.activeControl(), &form.TBox[kUserNameBox]);
  expectEditable(form, true);
  EXPECT_EQ(form.tasks[0].Compiled, before.Compiled);
  EXPECT_EQ(form.tasks[0].CommandLine, before.CommandLine);
  EXPECT_FALSE(form.mnuSave.enabled());
}

TEST_F(FormTest, StoredCompiledTaskWithMissingFieldKeepsLockAndCompiledFlag) {
  // Task 2 is stored compiled with no database; task 1 is shown compiled.
  fillRequiredFields();
  form.cmdCompile.press();
  form.tasks[1].Compiled = 1;
  form.tasks[1].AccessLocation = "/opt/db/access";

  form.cmbTask.setListIndex(1);

  ASSERT_EQ(platform.messages.size(), 1U);
  EXPECT_EQ(platform.messages.front().text, "The location of the database is required.");
  EXPECT_EQ(form.tasks[1].Compiled, 1);
  EXPECT_EQ(form.tasks[1].CommandLine, "");
  // The database box is locked by the previous task's state, so the focus
  // cannot go there.
  EXPECT_NE(form.activeControl(), &form.TBox[kDatabaseLocationBox]);
  expectEditable(form, false);
}

TEST_F(FormTest, NoShownTaskCompilesNothing) {
  form.cmbTask.setListIndex(-1);
  form.fctnChange(false);

  form.cmdCompile.press();

  EXPECT_TRUE(platform.messages.empty());
  EXPECT_FALSE(form.mnuSave.enabled());
  for (const Task& task : form.tasks) EXPECT_EQ(task.Compiled, 0);
}

}  // namespace
}  // namespace kiv
