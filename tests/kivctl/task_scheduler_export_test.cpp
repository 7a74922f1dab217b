// "kivctl export --task-scheduler": the XML files read back the way the Task
// Scheduler reads them, their triggers against the scheduler's launches, and
// the files against the schema.
#include "task_scheduler_export.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <sstream>

#include "compile/command_line.h"
#include "compile/windows_command_line.h"
#include "due_command.h"
#include "kivctl_process.h"
#include "schedule_files.h"
#include "scheduler/date_time_text.h"
#include "scheduler/next_launches.h"
#include "support/compiled_task.h"
#include "support/temp_folder.h"
#include "task_scheduler_file.h"
#include "task_scheduler_xml.h"
#include "tasks/value_lists.h"

namespace kiv::ctl {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;
using testing::compiledTask;
using testing::TempFolder;

struct Exported {
  int status;
  std::string out;
  std::string err;
};

struct ExportedTasks {
  TempFolder folder;
  fs::path schedule = folder.path() / "nightly.kiv";
  fs::path tasks = folder.path() / "tasks";
  Exported exported;

  explicit ExportedTasks(const TaskTable& table, LocalTime from = LocalTime{}) {
    testing::writeSchedule(schedule, table);
    std::ostringstream out;
    std::ostringstream err;
    const int status =
        exportTaskSchedulerCommand(schedule.string(), {tasks, schedule.string(), from}, out, err);
    exported = {status, out.str(), err.str()};
  }

  fs::path file(int index, std::string_view name = "") const {
    return tasks / (taskSchedulerName(index, name) + ".xml");
  }
};

// A day pattern that the Windows Task Scheduler cannot name exactly.
bool goesThroughDue(int pattern) {
  return pattern == kFirstWeekdayOfMonth || pattern == kLastWeekdayOfMonth;
}

// Whether "kivctl due" lets the task of `index` launch on `date`.
bool dueSays(const fs::path& schedule, int index, local_days date) {
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(dueCommand(schedule.string(), index + 1, false, date, out, err), 0) << err.str();
  return out.str().find(" may launch on ") != std::string::npos;
}

// Each launch time with a task of every day pattern: the triggers of each exported file, read from
// the XML and through "kivctl due" where the action goes through it, start the task at exactly the
// launches the scheduler makes, over two years.
TEST(TaskSchedulerExport, TriggersStartEachTaskWhenTheSchedulerLaunchesItForTwoYears) {
  struct Span {
    local_days firstDay;
    const char* launchAt;
  };
  // A leap day, and the year 2100, which is none.
  const local_days leap{year{2027} / December / 30};
  const local_days century{year{2099} / March / 1};
  for (const auto& [firstDay, launchAt] :
       {Span{leap, "02:30:00"}, Span{leap, "23:59:59"}, Span{leap, "00:00:?7"}, Span{leap, "12:34"},
        Span{century, "00:00:00"}, Span{century, "17:15:?5"}}) {
    SCOPED_TRACE(dateTimeText(LocalTime(firstDay)) + ", " + launchAt);
    const LocalTime from{firstDay};
    const LocalTime until{firstDay + days{2 * 365 + 1}};
    // Task n + 1 has day pattern n.
    TaskTable table;
    for (int pattern = kEveryDay; pattern <= kLastWeekdayOfMonth; ++pattern) {
      table.at(pattern) = compiledTask(pattern, launchAt, static_cast<std::uint8_t>(pattern));
    }
    const ExportedTasks exported(table, from);
    ASSERT_EQ(exported.exported.status, 0) << exported.exported.err;

    std::map<int, std::vector<LocalTime>> launches;
    NextLaunches next(table, from);
    for (auto launch = next.next(); launch && launch->at < until; launch = next.next()) {
      launches[launch->taskIndex].push_back(launch->at);
    }
    for (int task = kEveryDay; task <= kLastWeekdayOfMonth; ++task) {
      SCOPED_TRACE("day pattern " + std::to_string(task));
      const testing::TaskSchedulerFile file = testing::readTaskSchedulerFile(exported.file(task));
      std::vector<LocalTime> starts = testing::triggerStarts(file.triggers, from, until);
      if (goesThroughDue(task)) {
        EXPECT_EQ(file.command, kDueProgram);
        std::erase_if(starts, [&](LocalTime at) {
          return !dueSays(exported.schedule, task, floor<days>(at));
        });
      } else {
        EXPECT_EQ(file.command, "/opt/db/access");
      }
      ASSERT_FALSE(launches[task].empty());
      EXPECT_EQ(starts, launches[task]);
    }
  }
}

// The two patterns the triggers cannot name start "kivctl.exe due" with the
// schedule and the task, on candidate days that each trigger names once.
TEST(TaskSchedulerExport, FirstAndLastWeekdayOfTheMonthGoThroughDue) {
  TaskTable table;
  table[4] = compiledTask(4, "06:00:00", kFirstWeekdayOfMonth);
  table[7] = compiledTask(7, "18:00:00", kLastWeekdayOfMonth);
  table[8] = compiledTask(8, "18:00:00", kFridayOnly);
  const ExportedTasks exported(table);
  ASSERT_EQ(exported.exported.status, 0) << exported.exported.err;

  for (const auto& [index, week] : {std::pair{4, "1"}, std::pair{7, "Last"}}) {
    const testing::TaskSchedulerFile file = testing::readTaskSchedulerFile(exported.file(index));
    EXPECT_EQ(file.command, "kivctl.exe");
    ASSERT_TRUE(file.arguments);
    EXPECT_EQ(splitWindowsCommandLine("kivctl.exe " + *file.arguments),
              (std::vector<std::string>{"kivctl.exe", "due", exported.schedule.string(), "--task",
                                        std::to_string(index + 1), "--then-run"}));
    ASSERT_EQ(file.triggers.size(), 1U);
    EXPECT_EQ(file.triggers[0].schedule, "ScheduleByMonthDayOfWeek");
    EXPECT_EQ(file.triggers[0].weeks, std::vector<std::string>{week});
    EXPECT_EQ(file.triggers[0].daysOfWeek,
              (std::vector<std::string>{"Monday", "Tuesday", "Wednesday", "Thursday", "Friday"}));
    EXPECT_NE(
        exported.exported.err.find("task " + std::to_string(index + 1) +
                                   ": the Task Scheduler cannot start it on exactly the days"),
        std::string::npos)
        << exported.exported.err;
  }
  const testing::TaskSchedulerFile friday = testing::readTaskSchedulerFile(exported.file(8));
  EXPECT_EQ(friday.command, "/opt/db/access");
  EXPECT_EQ(exported.exported.err.find("task 9:"), std::string::npos) << exported.exported.err;
  // Those that go through "due" are started by Kiv's scheduler, guard and all.
  EXPECT_NE(exported.exported.err.find(
                "the exported files start the compact, repair or decompile of task 9 without "
                "the guard Kiv keeps"),
            std::string::npos)
      << exported.exported.err;
}

struct OptionsCase {
  const char* launchAt;
  std::optional<minutes> timeLimit;
  std::optional<hours> catchUp;
  const char* executionTimeLimit;
  const char* startWhenAvailable;
  minutes wait = TaskOptions{}.wait;
  bool closeAfterRunning = false;
  int days = kEveryDay;
  const char* note = nullptr;  // on standard error after "task N: "
};

TEST(TaskSchedulerExport, CarriesTheTimeLimitAndTheCatchUpAndNamesWhatItCannotCarry) {
  const std::vector<OptionsCase> cases{
      {"02:00:00", std::nullopt, std::nullopt, "PT0S", "false"},
      {"02:00:00", minutes{90}, hours{3}, "PT90M", "true"},
      {"02:00:00", minutes{1440}, std::nullopt, "PT1440M", "false"},
      // A recurring launch time is never made up.
      {"02:00:?4", minutes{1}, hours{168}, "PT1M", "false"},
      {"02:00:00", std::nullopt, std::nullopt, "PT0S", "false", minutes{5}, false, kEveryDay,
       "its wait of 5 minutes for a busy database has no counterpart"},
      {"02:00:00", std::nullopt, std::nullopt, "PT0S", "false", TaskOptions{}.wait, true, kEveryDay,
       "\"Close KIV after running?\" has no meaning there"},
      {"02:00:00", std::nullopt, hours{1}, "PT0S", "true", TaskOptions{}.wait, false,
       kLastWeekdayOfMonth,
       "only on those days (kivctl.exe must be on the PATH), a launch made "
       "up later by the day it is made up on"},
  };
  TaskTable table;
  for (std::size_t index = 0; index < cases.size(); ++index) {
    Task& task = table.at(index);
    task = compiledTask(static_cast<int>(index), cases[index].launchAt,
                        static_cast<std::uint8_t>(cases[index].days));
    task.Options.timeLimit = cases[index].timeLimit;
    task.Options.catchUp = cases[index].catchUp;
    task.Options.wait = cases[index].wait;
    task.CloseAfterRunning = cases[index].closeAfterRunning ? 1 : 0;
  }
  const ExportedTasks exported(table);
  ASSERT_EQ(exported.exported.status, 0) << exported.exported.err;
  for (std::size_t index = 0; index < cases.size(); ++index) {
    const std::string subject = "task " + std::to_string(index + 1) + ": ";
    SCOPED_TRACE(subject);
    const testing::TaskSchedulerFile file =
        testing::readTaskSchedulerFile(exported.file(static_cast<int>(index)));
    EXPECT_EQ(file.executionTimeLimit, cases[index].executionTimeLimit);
    EXPECT_EQ(file.startWhenAvailable, cases[index].startWhenAvailable);
    EXPECT_EQ(file.multipleInstancesPolicy, "IgnoreNew");
    EXPECT_EQ(file.logonType, "InteractiveToken");
    const std::size_t noted = exported.exported.err.find(subject);
    if (cases[index].note == nullptr) {
      EXPECT_EQ(noted, std::string::npos) << exported.exported.err;
    } else {
      ASSERT_NE(noted, std::string::npos) << exported.exported.err;
      const std::string line =
          exported.exported.err.substr(noted, exported.exported.err.find('\n', noted) - noted);
      EXPECT_NE(line.find(cases[index].note), std::string::npos) << line;
    }
  }
}

// Markup characters in the name, the database and the password reach the
// program as the starter passes them and the description as written, while
// the file's name holds none that Windows refuses.
TEST(TaskSchedulerExport, EscapesMarkupAndKeepsTheCommandLine) {
  TaskTable table;
  table[2] = compiledTask(2, "02:00:00");
  table[2].TaskName = R"(<A&B> "c" 'd' 50%/e\f:g*h?i|j)";
  table[2].DatabaseLocation = R"(C:\db\a&b <c> 'd'.mdb)";
  table[2].Username = R"(o"neil)";
  table[2].Password = R"(p<&>"'\)";
  const ExportedTasks exported(table);
  ASSERT_EQ(exported.exported.status, 0) << exported.exported.err;

  const fs::path file = exported.tasks / R"(Kiv task 3 (_A&B_ _c_ 'd' 50__e_f_g_h_i_j).xml)";
  ASSERT_EQ(exported.file(2, table[2].TaskName), file);
  const testing::TaskSchedulerFile read = testing::readTaskSchedulerFile(file);
  EXPECT_EQ(read.description, taskDescription(2, table[2].TaskName, "nightly.kiv"));
  const std::string commandLine = composeCommandLine(compileInputsFor(table[2]));
  ASSERT_TRUE(read.arguments);
  EXPECT_EQ(splitWindowsCommandLine("\"" + read.command + "\" " + *read.arguments),
            splitWindowsCommandLine(commandLine));
  EXPECT_EQ(read.command, "/opt/db/access");
  for (const char* raw : {"<A&B>", "\"c\"", "'d'", "a&b <c>", "p<&>"}) {
    EXPECT_EQ(read.text.find(raw), std::string::npos) << raw << " unescaped";
  }
  EXPECT_NE(read.text.find("&lt;A&amp;B&gt; &quot;c&quot; &apos;d&apos;"), std::string::npos);
  EXPECT_NE(exported.exported.out.find("schtasks /create /tn \"Kiv task 3 (_A&B_ _c_ 'd' "
                                       "50__e_f_g_h_i_j)\" /xml \"" +
                                       file.string() + "\""),
            std::string::npos)
      << exported.exported.out;
}

TEST(TaskSchedulerExport, WarnsOfAPasswordAndWritesOwnerOnlyFiles) {
  TaskTable table;
  table[0] = compiledTask(0, "02:00:00");
  table[0].Password = "s3cret$";
  table[1] = compiledTask(1, "03:00:00");
  const ExportedTasks exported(table);
  ASSERT_EQ(exported.exported.status, 0) << exported.exported.err;
  EXPECT_NE(exported.exported.err.find(exported.file(0).string() +
                                       " holds the task's password in plain text"),
            std::string::npos)
      << exported.exported.err;
  EXPECT_EQ(exported.exported.err.find(exported.file(1).string()), std::string::npos);
  EXPECT_EQ(exported.exported.err.find("s3cret$"), std::string::npos);
  EXPECT_EQ(exported.exported.out.find("s3cret$"), std::string::npos);
  EXPECT_NE(testing::readTaskSchedulerFile(exported.file(0)).arguments->find("s3cret$"),
            std::string::npos);
  for (const int index : {0, 1}) {
    struct stat status {};
    ASSERT_EQ(::stat(exported.file(index).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600U) << exported.file(index);
  }
}

// A task whose program the Task Scheduler would tell another name, or whose
// texts an XML file cannot hold, fails the export; one that never launches
// is only named; both leave the others exported.
TEST(TaskSchedulerExport, RefusesWhatTheFileCannotHoldAndNamesTasksThatNeverLaunch) {
  TaskTable table;
  table[0] = compiledTask(0, "02:00:00");
  table[0].AccessLocation = R"(C:\a"b\access.exe)";
  table[1] = compiledTask(1, "02:00:00");
  table[1].TaskName = "bell\x07";
  table[2] = compiledTask(2, "12:30:??");
  table[3] = compiledTask(3, "04:00:00");
  const ExportedTasks exported(table);
  EXPECT_EQ(exported.exported.status, 1);
  const std::string& err = exported.exported.err;
  for (const char* expected :
       {"task 1 cannot be exported: the location of Access holds a double quote",
        "task 2 cannot be exported: its description cannot go into the XML file: it holds the "
        "character U+0007",
        "task 3 (launch time \"12:30:??\") never launches: "}) {
    EXPECT_NE(err.find(expected), std::string::npos) << expected << " in " << err;
  }
  EXPECT_EQ(std::vector<std::string>{exported.file(3).filename().string()}, [&] {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(exported.tasks))
      names.push_back(entry.path().filename().string());
    return names;
  }());
}

TEST(TaskSchedulerExport, NeverWritesThroughALink) {
  TaskTable table;
  table[0] = compiledTask(0, "02:00:00");
  const TempFolder outside;
  const fs::path target = outside.path() / "target";
  testing::writeAll(target, {'x'});
  TempFolder folder;
  const fs::path tasks = folder.path() / "tasks";
  fs::create_directories(tasks);
  fs::create_symlink(target, tasks / "Kiv task 1.xml");
  testing::writeSchedule(folder.path() / "n.kiv", table);
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(exportTaskSchedulerCommand((folder.path() / "n.kiv").string(),
                                       {tasks, "/n.kiv", LocalTime{}}, out, err),
            1);
  EXPECT_NE(err.str().find("a link stands at the task file's name"), std::string::npos)
      << err.str();
  EXPECT_EQ(testing::readAll(target), std::vector<std::uint8_t>{'x'});
}

// The real kivctl, given a relative schedule, names it by its absolute path
// in the action of a task that goes through "due".
TEST(TaskSchedulerExport, TheCommandLineWritesTheFilesAndTheImportCommands) {
  const TempFolder folder;
  TaskTable table;
  table[1] = compiledTask(1, "06:00:00", kLastWeekdayOfMonth);
  table[1].TaskName = "Month end";
  testing::writeSchedule(folder.path() / "n.kiv", table);
  const testing::Finished finished =
      testing::runProgram({"sh", "-c", "cd \"$0\" && exec \"$1\" export n.kiv --task-scheduler out",
                           folder.path().string(), KIVCTL});
  ASSERT_EQ(finished.ending.status, 0) << finished.err;
  const fs::path file = folder.path() / "out" / "Kiv task 2 (Month end).xml";
  EXPECT_NE(finished.out.find("schtasks /create /tn \"Kiv task 2 (Month end)\" /xml \"out/Kiv "
                              "task 2 (Month end).xml\""),
            std::string::npos)
      << finished.out;
  const testing::TaskSchedulerFile read = testing::readTaskSchedulerFile(file);
  ASSERT_TRUE(read.arguments);
  EXPECT_EQ(*read.arguments,
            "due \"" + (folder.path() / "n.kiv").string() + "\" --task 2 --then-run");
}

// Every file, the hostile texts' and the candidate days' among them, is well
// formed and valid against the Task Scheduler 1.2 schema.
TEST(TaskSchedulerExport, FilesAreValidAgainstTheSchema) {
  TaskTable table;
  for (int pattern = kEveryDay; pattern <= kLastWeekdayOfMonth; ++pattern) {
    table.at(pattern) = compiledTask(pattern, pattern % 2 == 0 ? "00:00:?1" : "07:45:00",
                                     static_cast<std::uint8_t>(pattern));
  }
  table[20] = compiledTask(20, "23:59:59");
  table[20].TaskName = "<&>\"' \xC3\xA9\xE2\x82\xAC";
  table[20].Password = "a\tb";
  table[20].Options.timeLimit = minutes{30};
  table[20].Options.catchUp = hours{2};
  const ExportedTasks exported(table);
  ASSERT_EQ(exported.exported.status, 0) << exported.exported.err;
  std::vector<std::string> command{"xmllint", "--noout", "--schema", KIV_TASK_SCHEDULER_SCHEMA};
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(exported.tasks)) {
    command.push_back(entry.path().string());
    ++files;
  }
  EXPECT_EQ(files, 15U);
  const testing::Finished lint = testing::runProgram(command);
  EXPECT_EQ(lint.ending.status, 0) << lint.err;
  const testing::TaskSchedulerFile hostile =
      testing::readTaskSchedulerFile(exported.file(20, table[20].TaskName));
  EXPECT_EQ(hostile.description, taskDescription(20, table[20].TaskName, "nightly.kiv"));
  ASSERT_TRUE(hostile.arguments);
  EXPECT_NE(hostile.arguments->find("/pwd a\tb"), std::string::npos) << *hostile.arguments;
  EXPECT_TRUE(hostile.text.starts_with("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"));
}

}  // namespace
}  // namespace kiv::ctl
