#include <gtest/gtest.h>

#include "support/compiled_task.h"
#include "support/form_fixture.h"

namespace kiv {
namespace {

using testing::commandLineOf;
using testing::compiledTask;
using testing::FormTest;

class RunNowTest : public FormTest {
 protected:
  void showCompiled(int index, Task task) {
    form.tasks[index] = std::move(task);
    form.cmbTask.setListIndex(index);
    platform.clock = fromCivil({2026, 12, 7, 12, 0, 0});  // a Monday noon
  }

  std::string tip() const {
    const std::string& szTip = form.tray.TrayData.szTip;
    return szTip.substr(0, szTip.find_last_not_of(' ') + 1);
  }
};

TEST_F(RunNowTest, StartsTheShownTaskAndReportsItOnDemand) {
  showCompiled(11, compiledTask(11, "03:00:00"));
  platform.clock = fromCivil({2026, 12, 6, 15, 4, 5});

  form.cmdRun.press();

  EXPECT_EQ(platform.launches, std::vector<std::string>{commandLineOf(11)});
  EXPECT_EQ(tip(), "Last launch: task 12 @ 06-Dec-2026 15:04:05 (on demand)");
  ASSERT_EQ(platform.trayCalls.size(), 1U);
  EXPECT_EQ(platform.trayCalls[0].first, TrayOperation::Modify);
  EXPECT_EQ(platform.trayCalls[0].second.szTip, form.tray.TrayData.szTip);
}

// A program Kiv started still runs on the shown task's database: Run now
// asks first, and only Yes starts another copy.
TEST_F(RunNowTest, ABusyDatabaseIsStartedAgainOnlyWhenTheUserSaysSo) {
  platform.nextProcessId = 300;
  form.tasks[3] = compiledTask(3, "03:00:00");
  form.tasks[3].TaskName = "Repair";
  showCompiled(11, compiledTask(11, "03:00:00"));
  form.tasks[11].DatabaseLocation = form.tasks[3].DatabaseLocation;
  ASSERT_TRUE(form.scheduler().runNow(3));
  platform.answers = {MessageAnswer::No, MessageAnswer::Yes};

  form.cmdRun.press();
  EXPECT_EQ(platform.launches.size(), 1U);
  form.cmdRun.press();

  EXPECT_EQ(platform.launches.size(), 2U);
  ASSERT_EQ(platform.messages.size(), 2U);
  EXPECT_EQ(platform.messages[0].text,
            "Task 4 (Repair) is still running on the database of task 12. Start another copy "
            "anyway?");
  EXPECT_EQ(platform.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(platform.messages[0].defaultButton, 1);  // No
}

TEST_F(RunNowTest, IgnoresDayPatternAndCloseAfterRunning) {
  Task task = compiledTask(0, "03:00:00", 3);  // Sunday only
  task.CloseAfterRunning = 1;
  showCompiled(0, task);

  form.mnuRun.press();

  EXPECT_EQ(platform.launches.size(), 1U);
  EXPECT_FALSE(platform.ended);
}

TEST_F(RunNowTest, UnavailableWhileTheShownTaskIsNotCompiled) {
  form.mnuRun.press();
  form.cmdRun.press();
  EXPECT_TRUE(platform.launches.empty());

  fillRequiredFields();
  form.cmdCompile.press();
  EXPECT_TRUE(form.cmdRun.enabled());
  EXPECT_TRUE(form.mnuRun.enabled());
  form.cmdCompile.press();
  EXPECT_FALSE(form.cmdRun.enabled());
  EXPECT_FALSE(form.mnuRun.enabled());
}

TEST_F(RunNowTest, AFailedStartIsReportedAndTheTipIsNotSent) {
  showCompiled(2, compiledTask(2, "03:00:00"));
  platform.startResults.push_back(
      std::string(R"(Cannot start "/opt/db/access": No such file or directory)"));

  form.cmdRun.press();

  ASSERT_EQ(platform.messages.size(), 1U);
  EXPECT_EQ(
      platform.messages[0].text,
      R"(Task 3 could not be started: Cannot start "/opt/db/access": No such file or directory)");
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(tip(), "Last launch: task 3 @ 07-Dec-2026 12:00:00 (on demand)");
  EXPECT_TRUE(platform.trayCalls.empty());
  EXPECT_FALSE(platform.ended);
}

TEST_F(FormTest, LeavingTheLaunchTimeBoxChecksItsText) {
  struct Case {
    const char* text;
    const char* message;  // nullptr when accepted
  };
  const Case cases[] = {
      {"07:30:00", nullptr},
      {"12:30:?5", nullptr},
      {"7:30:00", "Enter the time in hh:mm:ss format."},
      {"12:30:?0", "The final digit of the time cannot be 0 for recurring tasks."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    platform.messages.clear();
    form.setFocus(form.TBox[kLaunchAtBox]);
    form.TBox[kLaunchAtBox].setText(c.text);

    form.setFocus(form.TBox[kUserNameBox]);

    if (c.message == nullptr) {
      EXPECT_TRUE(platform.messages.empty());
      EXPECT_EQ(form.activeControl(), &form.TBox[kUserNameBox]);
    } else {
      ASSERT_EQ(platform.messages.size(), 1U);
      EXPECT_EQ(platform.messages[0].text, c.message);
      EXPECT_EQ(platform.messages[0].icon, MessageIcon::Exclamation);
      EXPECT_EQ(form.activeControl(), &form.TBox[kLaunchAtBox]);
    }
    EXPECT_EQ(form.TBox[kLaunchAtBox].text(), c.text);
    EXPECT_EQ(form.tasks[0].LaunchAt, c.text);
  }
}

TEST_F(FormTest, LeavingAnyOtherBoxChecksNothing) {
  form.TBox[kLaunchAtBox].setText("bad");
  for (int box = 1; box < 8; ++box) {
    form.setFocus(form.TBox[box]);
  }
  form.setFocus(form.cmbTask);
  EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace kiv
