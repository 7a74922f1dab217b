#include <gtest/gtest.h>

#include "support/form_fixture.h"

namespace kiv {
namespace {

using testing::FormTest;

class DuplicateTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form.cmbTask.setListIndex(2);  // task 3
    form.TBox[kTaskNameBox].setText("Nightly");
    form.TBox[kLaunchAtBox].setText("02:00:00");
    fillRequiredFields();
  }

  std::vector<std::string> messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& message : platform.messages) texts.push_back(message.text);
    return texts;
  }
};

constexpr const char* kOutOfRange = "You must enter a number between 1 and 30.";
constexpr const char* kToItself = "You cannot copy a task to itself; please enter another number.";

TEST_F(DuplicateTest, PromptAndConfirmationNameTheTasks) {
  platform.inputs = {" 12"};
  platform.answers = {MessageAnswer::Yes};

  form.mnuDuplicate_Click();

  ASSERT_EQ(platform.inputBoxes.size(), 1U);
  EXPECT_EQ(platform.inputBoxes[0].first,
            "Enter the task number to copy task 3 to.\r\n\r\n"
            "Permissable values are 1 to 30, excluding 3.");
  EXPECT_EQ(platform.inputBoxes[0].second, "Kiv");
  ASSERT_EQ(platform.messages.size(), 1U);
  const MessageBoxRequest& confirm = platform.messages[0];
  EXPECT_EQ(confirm.text,
            "Are you sure you want to copy task 3 to task  12? "
            "This will overwrite the existing task  12.");
  EXPECT_EQ(confirm.buttons, MessageButtons::YesNoCancel);
  EXPECT_EQ(confirm.icon, MessageIcon::Question);
  EXPECT_EQ(confirm.defaultButton, 1);
  EXPECT_EQ(confirm.title, "Kiv");
}

struct EntryCase {
  const char* name;
  std::vector<std::string> entries;  // typed in turn; the last one ends the loop
  std::vector<std::string> refusals;
  int destination;  // -1 when nothing is copied
};

void PrintTo(const EntryCase& c, std::ostream* os) {
  *os << c.name;
}

class DuplicateEntries : public DuplicateTest, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(DuplicateEntries, RefuseAskAgainOrCopy) {
  const EntryCase& c = GetParam();
  platform.inputs = {c.entries.begin(), c.entries.end()};
  if (c.destination >= 0) platform.answers = {MessageAnswer::Yes};
  const TaskTable before = form.tasks;

  form.mnuDuplicate_Click();

  std::vector<std::string> expectedMessages = c.refusals;
  if (c.destination >= 0) {
    const std::string& typed = c.entries.back();
    expectedMessages.push_back("Are you sure you want to copy task 3 to task " + typed +
                               "? This will overwrite the existing task " + typed + ".");
  }
  EXPECT_EQ(messageTexts(), expectedMessages);
  EXPECT_EQ(platform.inputBoxes.size(), c.entries.size());
  EXPECT_TRUE(platform.inputs.empty());
  for (int index = 0; index < kTaskCount; ++index) {
    const bool copied = index == c.destination;
    EXPECT_EQ(form.tasks[index].TaskName, copied ? "Nightly" : before[index].TaskName) << index;
  }
  EXPECT_EQ(form.cmbTask.listIndex(), c.destination >= 0 ? c.destination : 2);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, DuplicateEntries,
    ::testing::Values(
        EntryCase{"LeadingBlank", {" 12"}, {}, 11}, EntryCase{"Plain", {"12"}, {}, 11},
        EntryCase{"HalfRoundsUpToEven", {"12.5"}, {}, 12},
        EntryCase{"HalfRoundsDownToEven", {"11.5"}, {}, 10},
        EntryCase{"Zero", {"0", "31", "abc", ""}, {kOutOfRange, kOutOfRange, kOutOfRange}, -1},
        EntryCase{"ItselfThenAnother", {"3", "30"}, {kToItself}, 29},
        EntryCase{"ItselfAfterRounding", {"3.5", ""}, {kToItself}, -1},
        EntryCase{"EmptyOrCancel", {""}, {}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DuplicateTest, NoReturnsToTheInputBoxCancelEndsTheCommand) {
  platform.inputs = {"5", "6"};
  platform.answers = {MessageAnswer::No, MessageAnswer::Cancel};
  form.fctnChange(false);

  form.mnuDuplicate_Click();

  EXPECT_EQ(platform.inputBoxes.size(), 2U);
  EXPECT_EQ(form.tasks[4].TaskName, "");
  EXPECT_EQ(form.tasks[5].TaskName, "");
  EXPECT_EQ(form.cmbTask.listIndex(), 2);
  EXPECT_FALSE(form.mnuSave.enabled());
}

TEST_F(DuplicateTest, CompiledTaskWithoutPasswordGivesACompiledCopy) {
  form.cmdCompile.press();
  form.tasks[11].TaskName = "old";
  platform.inputs = {"12"};
  platform.answers = {MessageAnswer::Yes};

  form.mnuDuplicate_Click();

  const Task& copy = form.tasks[11];
  EXPECT_EQ(form.cmbTask.listIndex(), 11);
  EXPECT_EQ(copy.TaskName, "Nightly");
  EXPECT_EQ(copy.LaunchAt, "02:00:00");
  EXPECT_EQ(copy.Compiled, 1);
  EXPECT_EQ(copy.CommandLine, form.tasks[2].CommandLine);
  EXPECT_FALSE(form.Check1.enabled());
  EXPECT_TRUE(form.mnuSave.enabled());
  EXPECT_EQ(platform.messages.size(), 1U);
}

TEST_F(DuplicateTest, TheCopyTakesTheTasksOptions) {
  const TaskOptions options{
      std::chrono::minutes{5}, std::chrono::minutes{90}, std::chrono::hours{6}, 1, {}};
  form.tasks[2].Options = options;
  form.tasks[11].Options.wait = std::chrono::minutes{0};
  platform.inputs = {"12"};
  platform.answers = {MessageAnswer::Yes};

  form.mnuDuplicate_Click();

  EXPECT_EQ(form.tasks[11].Options, options);
  EXPECT_EQ(form.tasks[2].Options, options);
}

TEST_F(DuplicateTest, PasswordIsNeverCopiedAndTheCopyStaysUncompiled) {
  for (const bool sourceCompiled : {false, true}) {
    SCOPED_TRACE(sourceCompiled ? "compiled source" : "editable source");
    form.cmbTask.setListIndex(2);
    form.TBox[kPasswordBox].setText("secret");
    if (sourceCompiled) form.cmdCompile.press();
    platform.messages.clear();
    platform.inputs = {"20"};
    platform.answers = {MessageAnswer::Yes};

    form.mnuDuplicate_Click();

    const Task& copy = form.tasks[19];
    EXPECT_EQ(copy.Password, "");
    EXPECT_EQ(copy.Compiled, 0);
    EXPECT_EQ(copy.CommandLine, "");
    EXPECT_TRUE(form.Check1.enabled());
    EXPECT_FALSE(form.cmdRun.enabled());
    EXPECT_EQ(form.activeControl(), &form.TBox[kPasswordBox]);
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_EQ(platform.messages.back().text,
              "For security reasons, the password is not duplicated; please re-enter it.");
    EXPECT_EQ(platform.messages.back().icon, MessageIcon::Exclamation);
    EXPECT_EQ(form.tasks[2].Password, "secret");
    EXPECT_EQ(form.tasks[2].Compiled, sourceCompiled ? 1 : 0);
  }
}

TEST_F(FormTest, EraseAnsweredNoChangesNothing) {
  form.TBox[kTaskNameBox].setText("keep");
  form.fctnChange(false);
  platform.answers = {MessageAnswer::No};

  form.mnuErase.press();

  ASSERT_EQ(platform.messages.size(), 1U);
  EXPECT_EQ(platform.messages[0].text, "Are you sure you want to erase task 1?");
  EXPECT_EQ(platform.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(platform.messages[0].defaultButton, 1);
  EXPECT_EQ(form.tasks[0].TaskName, "keep");
  EXPECT_FALSE(form.mnuSave.enabled());
}

TEST_F(FormTest, EraseOfACompiledTaskUncompilesIt) {
  form.cmbTask.setListIndex(6);
  form.TBox[kTaskNameBox].setText("gone");
  fillRequiredFields();
  form.cmdCompile.press();
  platform.answers = {MessageAnswer::Yes};

  form.mnuErase.press();

  EXPECT_EQ(platform.messages.back().text, "Are you sure you want to erase task 7?");
  const Task& task = form.tasks[6];
  EXPECT_EQ(task.TaskName, "");
  EXPECT_EQ(task.AccessLocation, "");
  EXPECT_EQ(task.Compiled, 0);
  EXPECT_EQ(task.CommandLine, "");
  EXPECT_EQ(form.TBox[kTaskNameBox].text(), "");
  EXPECT_TRUE(form.Check1.enabled());
  EXPECT_FALSE(form.cmdRun.enabled());
  EXPECT_FALSE(form.mnuRun.enabled());
  EXPECT_TRUE(form.mnuSave.enabled());
}

}  // namespace
}  // namespace kiv
