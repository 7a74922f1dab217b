#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "support/form_fixture.h"

namespace kiv {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using testing::FormTest;

const TaskOptions kStored{minutes{30}, minutes{90}, std::nullopt, 3, "D:\\Copies"};
// The longest folder the schedule file holds, and one byte more.
const std::string kLongestFolder(kLongestBackupFolder, 'x');
const std::string kTooLongFolder = kLongestFolder + "\u00E9";

TaskOptions withCopies(int backups, std::string folder) {
  TaskOptions options = kStored;
  options.backups = backups;
  options.backupFolder = std::move(folder);
  return options;
}

// Task 3 shown, with options other than the defaults (kStored) so that
// switching any of them on, off or to another number is a change.
class TaskOptionsTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form.cmbTask.setListIndex(2);
    form.tasks[2].Options = kStored;
    form.fctnChange(false);
  }
};

TEST_F(TaskOptionsTest, DialogIsAskedForTheShownTaskWithItsOptions) {
  platform.optionsAnswers = {std::nullopt};

  form.mnuOptions.press();

  ASSERT_EQ(platform.optionsDialogs.size(), 1U);
  const TaskOptionsRequest& request = platform.optionsDialogs[0];
  EXPECT_EQ(request.title, "Options of task 3");
  EXPECT_EQ(request.options, kStored);
  EXPECT_FALSE(request.locked);
  EXPECT_EQ(request.helpContext, 2);
  // What the dialog says of a folder is what saving would say of it.
  ASSERT_TRUE(request.folderProblem);
  EXPECT_EQ(request.folderProblem(kLongestFolder), "");
  EXPECT_EQ(request.folderProblem("C:\\Kopien f\u00FCr \u20AC"), "");
  EXPECT_EQ(request.folderProblem(kTooLongFolder),
            "The backup folder takes 111 bytes in the Windows-1252 code page; at most 110 can be "
            "stored.");
  EXPECT_EQ(request.folderProblem("D:\\\u03A9"),
            "In the backup folder, the character \"\u03A9\" (U+03A9) at position 4 has no form in "
            "the Windows-1252 code page.");
}

struct ChangeCase {
  const char* name;
  TaskOptions chosen;
};

void PrintTo(const ChangeCase& c, std::ostream* os) {
  *os << c.name;
}

class OptionsChange : public TaskOptionsTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(OptionsChange, IsStoredAndMarksTheScheduleChanged) {
  platform.optionsAnswers = {GetParam().chosen};

  form.mnuOptions.press();

  EXPECT_EQ(form.tasks[2].Options, GetParam().chosen);
  EXPECT_TRUE(form.mnuSave.enabled());
  for (int other : {0, 1, 3}) EXPECT_EQ(form.tasks[other].Options, TaskOptions{}) << other;
}

INSTANTIATE_TEST_SUITE_P(
    EachOption, OptionsChange,
    ::testing::Values(
        ChangeCase{"no wait", {minutes{0}, minutes{90}, std::nullopt, 3, "D:\\Copies"}},
        ChangeCase{"longest wait", {minutes{1440}, minutes{90}, std::nullopt, 3, "D:\\Copies"}},
        ChangeCase{"shortest limit", {minutes{30}, minutes{1}, std::nullopt, 3, "D:\\Copies"}},
        ChangeCase{"no limit", {minutes{30}, std::nullopt, std::nullopt, 3, "D:\\Copies"}},
        ChangeCase{"shortest catch-up", {minutes{30}, minutes{90}, hours{1}, 3, "D:\\Copies"}},
        ChangeCase{"longest catch-up", {minutes{30}, minutes{90}, hours{168}, 3, "D:\\Copies"}},
        ChangeCase{"no copies", withCopies(0, "D:\\Copies")},
        ChangeCase{"most copies", withCopies(kMostBackups, "D:\\Copies")},
        ChangeCase{"default folder", withCopies(3, "")},
        ChangeCase{"longest folder", withCopies(3, kLongestFolder)},
        ChangeCase{"non-ASCII folder", withCopies(3, "\\\\h\u00F4te\\\u20AC")}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name) {
        if (c == ' ' || c == '-') c = '_';
      }
      return name;
    });

struct UnchangedCase {
  const char* name;
  std::optional<TaskOptions> answer;
};

void PrintTo(const UnchangedCase& c, std::ostream* os) {
  *os << c.name;
}

class OptionsUnchanged : public TaskOptionsTest,
                         public ::testing::WithParamInterface<UnchangedCase> {};

TEST_P(OptionsUnchanged, LeaveTheTaskAndTheMarkerAlone) {
  platform.optionsAnswers = {GetParam().answer};

  form.mnuOptions.press();

  EXPECT_EQ(form.tasks[2].Options, kStored);
  EXPECT_FALSE(form.mnuSave.enabled());
}

// A front-end bounds its fields; the form still refuses what the schedule
// file could not hold.
INSTANTIATE_TEST_SUITE_P(
    CancelSameOrOutOfRange, OptionsUnchanged,
    ::testing::Values(
        UnchangedCase{"Cancel", std::nullopt}, UnchangedCase{"OkWithoutAChange", kStored},
        UnchangedCase{"NegativeWait",
                      TaskOptions{minutes{-1}, minutes{90}, std::nullopt, 3, "D:\\Copies"}},
        UnchangedCase{"WaitPastADay",
                      TaskOptions{minutes{1441}, minutes{90}, std::nullopt, 3, "D:\\Copies"}},
        UnchangedCase{"ZeroLimit",
                      TaskOptions{minutes{30}, minutes{0}, std::nullopt, 3, "D:\\Copies"}},
        UnchangedCase{"LimitPastADay",
                      TaskOptions{minutes{30}, minutes{1441}, std::nullopt, 3, "D:\\Copies"}},
        UnchangedCase{"ZeroCatchUp",
                      TaskOptions{minutes{30}, minutes{90}, hours{0}, 3, "D:\\Copies"}},
        UnchangedCase{"CatchUpPastAWeek",
                      TaskOptions{minutes{30}, minutes{90}, hours{169}, 3, "D:\\Copies"}},
        UnchangedCase{"NegativeCopies", withCopies(-1, "D:\\Copies")},
        UnchangedCase{"HundredCopies", withCopies(kMostBackups + 1, "D:\\Copies")},
        UnchangedCase{"FolderTooLong", withCopies(3, kTooLongFolder)},
        UnchangedCase{"FolderTheCodePageLacks", withCopies(3, "D:\\\u03A9")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TaskOptionsTest, CompiledTaskShowsItsOptionsLockedAndKeepsThem) {
  fillRequiredFields();
  form.cmdCompile.press();
  form.fctnChange(false);
  // Even a front-end that answered with options changes nothing.
  platform.optionsAnswers = {TaskOptions{minutes{5}, std::nullopt, hours{2}, 1, {}}};

  form.mnuOptions.press();

  ASSERT_EQ(platform.optionsDialogs.size(), 1U);
  EXPECT_TRUE(platform.optionsDialogs[0].locked);
  EXPECT_EQ(platform.optionsDialogs[0].options, kStored);
  EXPECT_EQ(form.tasks[2].Options, kStored);
  EXPECT_FALSE(form.mnuSave.enabled());
}

TEST_F(TaskOptionsTest, OptionsGoToTheTaskTheDialogWasOpenedFor) {
  const TaskOptions chosen{minutes{0}, std::nullopt, hours{12}, 1, {}};
  platform.optionsAnswers = {chosen};
  // A launch while the dialog is open may show another task.
  platform.duringNextQuestion = [this] { form.cmbTask.setListIndex(5); };

  form.mnuOptions.press();

  EXPECT_EQ(form.tasks[2].Options, chosen);
  EXPECT_EQ(form.tasks[5].Options, TaskOptions{});
  EXPECT_TRUE(form.mnuSave.enabled());
}

}  // namespace
}  // namespace kiv
