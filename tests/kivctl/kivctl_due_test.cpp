// "kivctl due" as a real process: the day check and the one launch it makes,
// with the stand-in program and a journal of its own.
#include <gtest/gtest.h>

#include <chrono>

#include "kivctl_process.h"
#include "posix/stand_in_record.h"
#include "schedule_files.h"
#include "stand_in_folders.h"
#include "support/compiled_task.h"
#include "support/temp_folder.h"
#include "tasks/value_lists.h"
#include "wall_clock.h"

namespace kiv::testing {
namespace {

using namespace std::chrono;

class KivctlDue : public ::testing::Test, protected StandInFolders {
 protected:
  Finished due(int task) {
    return runKivctl({"due", schedule.string(), "--task", std::to_string(task), "--then-run"},
                     environment());
  }

  Task standInTask(int index, int days) {
    Task task = compiledTask(index, "02:00:00", static_cast<std::uint8_t>(days));
    task.AccessLocation = KIV_STAND_IN;
    task.DatabaseLocation = database.string();
    return task;
  }

  std::string journal() const { return fileText(state / "kiv" / "launches.jsonl"); }
};

// The program is started once and kivctl waits for its end, which the
// journal holds after the launch.
TEST_F(KivctlDue, StartsATaskItsDayAllowsAndJournalsTheLaunchAndTheEnd) {
  TaskTable tasks;
  tasks[5] = standInTask(5, kEveryDay);
  writeSchedule(schedule, tasks);
  std::filesystem::create_directories(runtime);

  const Finished finished = due(6);
  EXPECT_EQ(finished.ending.status, 0) << finished.err;
  EXPECT_NE(finished.out.find("task 6 may launch on "), std::string::npos) << finished.out;
  const auto started = parseStandInRecord(waitForText(record, "end\n"));
  ASSERT_TRUE(started);
  EXPECT_EQ(started->arguments, (std::vector<std::string>{KIV_STAND_IN, database.string(), "/user",
                                                          "Admin", "/compact"}));
  const std::string lines = journal();
  const std::size_t launch = lines.find(R"("record":"launch")");
  const std::size_t ended = lines.find(R"("record":"ended")");
  ASSERT_NE(launch, std::string::npos) << lines;
  ASSERT_NE(ended, std::string::npos) << lines;
  EXPECT_LT(launch, ended);
  EXPECT_NE(lines.find(R"("task":6,)"), std::string::npos) << lines;
  EXPECT_NE(lines.find(R"("outcome":"exited","exitStatus":0)"), std::string::npos) << lines;
}

// On a day its pattern refuses (three days ahead's weekday, never today,
// even should midnight pass), nothing starts; a task the scheduler never
// launches, or whose program cannot start, fails.
TEST_F(KivctlDue, StartsNothingOnOtherDaysAndRefusesWhatCannotStart) {
  const weekday later{floor<days>(ctl::localNow()) + days{3}};
  TaskTable tasks;
  tasks[0] = standInTask(0, kSundayOnly + static_cast<int>(later.c_encoding()));
  tasks[1] = standInTask(1, kEveryDay);
  tasks[1].Compiled = 0;
  tasks[2] = standInTask(2, kEveryDay);
  tasks[2].AccessLocation = (folder.path() / "missing").string();
  writeSchedule(schedule, tasks);
  std::filesystem::create_directories(runtime);

  const Finished refused = due(1);
  EXPECT_EQ(refused.ending.status, 0) << refused.err;
  EXPECT_NE(refused.out.find("task 1 does not launch on "), std::string::npos) << refused.out;

  const Finished uncompiled = due(2);
  EXPECT_EQ(uncompiled.ending.status, 1);
  EXPECT_NE(uncompiled.err.find("task 2 is not compiled, so the scheduler never launches it"),
            std::string::npos)
      << uncompiled.err;

  const Finished missing = due(3);
  EXPECT_EQ(missing.ending.status, 1);
  EXPECT_NE(missing.err.find("task 3 was not started: "), std::string::npos) << missing.err;

  EXPECT_FALSE(std::filesystem::exists(record));
  EXPECT_EQ(journal().find(R"("task":1,)"), std::string::npos);
  EXPECT_EQ(journal().find(R"("task":2,)"), std::string::npos);
}

}  // namespace
}  // namespace kiv::testing
