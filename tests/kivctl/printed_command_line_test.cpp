#include "compile/printed_command_line.h"

#include <gtest/gtest.h>

#include "schedule_files.h"
#include "support/form_fixture.h"

namespace kiv::ctl {
namespace {

// The window is the reference: showing a task composes its command line.
class TaskCommandLine : public testing::FormTest {
 protected:
  std::string windowCommandLine(const TaskTable& tasks, int index) {
    form.tasks = tasks;
    form.cmbTask.setListIndex(index);
    return form.tasks.at(index).CommandLine;
  }
};

TEST_F(TaskCommandLine, IsWhatShowingTheTaskComposes) {
  const TaskTable tasks = testing::variedTasks();
  int composed = 0;
  for (int index = 0; index < kTaskCount; ++index) {
    const std::string window = windowCommandLine(tasks, index);
    const auto printed = printedCommandLine(tasks.at(index), true);
    if (window.empty()) {
      EXPECT_FALSE(printed) << "task " << index + 1;
    } else {
      ++composed;
      EXPECT_EQ(printed, window) << "task " << index + 1;
    }
  }
  // The sample holds both kinds, so both branches above were taken.
  EXPECT_GT(composed, 0);
  EXPECT_LT(composed, kTaskCount);
}

TEST(PrintedCommandLine, MasksOnlyThePasswordPart) {
  Task task;
  task.Username = "secret";
  task.Password = "secret";
  task.AccessLocation = "C:\\Office\\MSACCESS.EXE";
  task.DatabaseLocation = "D:\\secret.mdb";
  task.Compiled = 1;

  EXPECT_EQ(printedCommandLine(task, false),
            R"("C:\Office\MSACCESS.EXE" "D:\secret.mdb" /user secret /pwd ******** /compact)");
  EXPECT_EQ(printedCommandLine(task, true),
            R"("C:\Office\MSACCESS.EXE" "D:\secret.mdb" /user secret /pwd secret /compact)");
}

TEST(PrintedCommandLine, NoneForATaskThatIsNotCompiledOrFailsCompilation) {
  Task task;
  task.AccessLocation = "C:\\Office\\MSACCESS.EXE";
  task.DatabaseLocation = "D:\\Data\\Orders.mdb";
  EXPECT_FALSE(printedCommandLine(task, true));

  task.Compiled = 1;
  task.Action = 1;  // a macro without its name
  EXPECT_FALSE(printedCommandLine(task, true));
}

TEST(PrintedPassword, MasksAnyPasswordButAnEmptyOne) {
  EXPECT_EQ(printedPassword("x", false), "********");
  EXPECT_EQ(printedPassword("x", true), "x");
  EXPECT_EQ(printedPassword("", false), "");
}

}  // namespace
}  // namespace kiv::ctl
