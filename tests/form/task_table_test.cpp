#include <gtest/gtest.h>

#include "support/form_fixture.h"

namespace kiv {
namespace {

using testing::FormTest;

TEST_F(FormTest, ClearTaskRestoresDefaultsButKeepsTheCommandLine) {
  Task& task = form.tasks[5];
  task = Task{
      "Name",
      "01:02:03",
      "u",
      "p",
      1,
      4,
      "m",
      "a",
      "d",
      "s",
      13,
      1,
      1,
      1,
      TaskOptions{std::chrono::minutes{0}, std::chrono::minutes{5}, std::chrono::hours{2}, 1, {}},
      "cmd"};

  form.fctnClearTask(5);

  EXPECT_EQ(task.TaskName, "");
  EXPECT_EQ(task.LaunchAt, "00:00:00");
  EXPECT_EQ(task.Username, "Admin");
  EXPECT_EQ(task.Password, "");
  EXPECT_EQ(task.Version, 4);
  EXPECT_EQ(task.Action, 0);
  EXPECT_EQ(task.Macro, "");
  EXPECT_EQ(task.AccessLocation, "");
  EXPECT_EQ(task.DatabaseLocation, "");
  EXPECT_EQ(task.SecurityFileLocation, "");
  EXPECT_EQ(task.DaysToRunOn, 0);
  EXPECT_EQ(task.OpenExclusively, 0);
  EXPECT_EQ(task.CloseAfterRunning, 0);
  EXPECT_EQ(task.Compiled, 0);
  EXPECT_EQ(task.Options, TaskOptions{});
  EXPECT_EQ(task.CommandLine, "cmd");
  EXPECT_FALSE(form.mnuSave.enabled());
}

TEST_F(FormTest, ChangeMarkerIsTheSaveItemsEnabledState) {
  struct Observer : FormObserver {
    int changes = 0;
    void propertyChanged(const Control&, Property) override { ++changes; }
    void focusChanged(const Control*) override {}
  } observer;
  form.addObserver(&observer);

  form.fctnChange(false);
  EXPECT_EQ(observer.changes, 0);
  form.fctnChange(true);
  EXPECT_TRUE(form.mnuSave.enabled());
  EXPECT_EQ(observer.changes, 1);
  form.fctnChange(true);
  EXPECT_EQ(observer.changes, 1);
  form.removeObserver(&observer);
}

}  // namespace
}  // namespace kiv
