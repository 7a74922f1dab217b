// "kivctl options" as a real process on real files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "kivctl_process.h"
#include "posix/schedule_locks.h"
#include "schedule_file/schedule_file_io.h"
#include "schedule_files.h"
#include "strict_json.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"

namespace kiv::testing {
namespace {

using std::chrono::hours;
using std::chrono::minutes;

class OptionsCommand : public ::testing::Test {
 protected:
  OptionsCommand() {
    tasks[2].TaskName = "Nightly compact";
    tasks[5].Options = {minutes{15}, std::nullopt, hours{3}, 0, "/srv/copies\nof task 6"};
    writeSchedule(schedule, tasks);
  }

  Finished options(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"options", schedule.string()});
    return runKivctl(arguments);
  }

  // The file holds exactly what the program's writer makes of `expected`.
  void expectFileHolds(const TaskTable& expected) {
    const TempFolder reference;
    writeSchedule(reference.path() / "expected.kiv", expected);
    EXPECT_EQ(readAll(schedule), readAll(reference.path() / "expected.kiv"));
  }

  TempFolder folder;
  std::filesystem::path schedule = folder.path() / "nightly.kiv";
  TaskTable tasks;
};

TEST_F(OptionsCommand, SetsTheOptionsGivenAndKeepsTheRest) {
  struct Step {
    std::vector<std::string> arguments;
    TaskOptions after;
  };
  const std::vector<Step> steps{
      {{"--task", "3", "--wait", "0"}, {minutes{0}, std::nullopt, std::nullopt, 1, {}}},
      {{"--task=3", "--time-limit", "1440", "--catch-up=168"},
       {minutes{0}, minutes{1440}, hours{168}, 1, {}}},
      {{"--catch-up", "1", "--task", "3", "--wait", "1440"},
       {minutes{1440}, minutes{1440}, hours{1}, 1, {}}},
      {{"--task", "3", "--time-limit", "none", "--catch-up", "off"},
       {minutes{1440}, std::nullopt, std::nullopt, 1, {}}},
      {{"--task", "3", "--time-limit", "1"}, {minutes{1440}, minutes{1}, std::nullopt, 1, {}}},
      {{"--task", "3", "--backups", "0", "--backup-folder", "/srv/kopien f\u00FCr \u20AC"},
       {minutes{1440}, minutes{1}, std::nullopt, 0, "/srv/kopien f\u00FCr \u20AC"}},
      {{"--task", "3", "--backups=99", "--backup-folder=" + std::string(110, 'x')},
       {minutes{1440}, minutes{1}, std::nullopt, 99, std::string(110, 'x')}},
      {{"--task", "3", "--backup-folder", "default", "--backups", "7"},
       {minutes{1440}, minutes{1}, std::nullopt, 7, {}}},
      {{"--task", "3", "--backup-folder", "D:\\Copies\\Nightly"},
       {minutes{1440}, minutes{1}, std::nullopt, 7, "D:\\Copies\\Nightly"}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.arguments[1] + " " + step.arguments[2]);
    const Finished set = options(step.arguments);
    expectExit(set, 0);
    EXPECT_EQ(set.out, "");
    EXPECT_EQ(set.err, "");
    tasks[2].Options = step.after;
    expectFileHolds(tasks);
  }

  const Finished listed = runKivctl({"list", schedule.string(), "--json"});
  expectExit(listed, 0);
  const auto listing = parseJson(listed.out);
  ASSERT_TRUE(listing) << listed.out;
  EXPECT_EQ(listing->at("tasks").at(2).at("options"),
            (nlohmann::json{{"waitMinutes", 1440},
                            {"timeLimitMinutes", 1},
                            {"catchUpHours", nullptr},
                            {"backups", 7},
                            {"backupFolder", "D:\\Copies\\Nightly"}}));
  EXPECT_EQ(listing->at("tasks").at(5).at("options"),
            (nlohmann::json{{"waitMinutes", 15},
                            {"timeLimitMinutes", nullptr},
                            {"catchUpHours", 3},
                            {"backups", 0},
                            {"backupFolder", "/srv/copies\nof task 6"}}));
}

TEST_F(OptionsCommand, WithoutASettingPrintsTheTasksOptions) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"3",
       "waitMinutes       60\ntimeLimitMinutes  none\ncatchUpHours      off\n"
       "backups           1\nbackupFolder      default\n"},
      // A folder's control characters are shown escaped, never sent to the terminal.
      {"6",
       "waitMinutes       15\ntimeLimitMinutes  none\ncatchUpHours      3\n"
       "backups           0\nbackupFolder      /srv/copies\\nof task 6\n"},
  };
  for (const auto& [task, text] : cases) {
    const Finished shown = options({"--task", task});
    expectExit(shown, 0);
    EXPECT_EQ(shown.out, text);
    EXPECT_EQ(shown.err, "");
  }
  expectFileHolds(tasks);
}

TEST_F(OptionsCommand, ACompiledTaskIsLockedUnlessForced) {
  tasks[2].Compiled = 1;
  writeSchedule(schedule, tasks);

  const Finished refused = options({"--task", "3", "--wait", "5"});
  expectExit(refused, 1);
  EXPECT_EQ(refused.err, "kivctl: " + schedule.string() +
                             ": task 3 is compiled, so its fields are locked; give --force to "
                             "change its options anyway; nothing was changed\n");
  expectFileHolds(tasks);

  const Finished forced = options({"--task", "3", "--wait", "5", "--force"});
  expectExit(forced, 0);
  tasks[2].Options.wait = minutes{5};
  expectFileHolds(tasks);
  EXPECT_EQ(tasks[2].Compiled, 1);
}

TEST_F(OptionsCommand, BadUsageIsRefusedWithTheFileUntouched) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"--task", "3", "--wait", "1441"},
       "--wait takes a number of minutes from 0 to 1440, not \"1441\""},
      {{"--task", "3", "--wait", "-1"},
       "--wait takes a number of minutes from 0 to 1440, not \"-1\""},
      {{"--task", "3", "--wait", "1h"},
       "--wait takes a number of minutes from 0 to 1440, not \"1h\""},
      {{"--task", "3", "--wait="}, "--wait takes a number of minutes from 0 to 1440, not \"\""},
      {{"--task", "3", "--wait", "none"},
       "--wait takes a number of minutes from 0 to 1440, not \"none\""},
      {{"--task", "3", "--time-limit", "0"},
       "--time-limit takes a number of minutes from 1 to 1440, or none, not \"0\""},
      {{"--task", "3", "--time-limit", "off"},
       "--time-limit takes a number of minutes from 1 to 1440, or none, not \"off\""},
      {{"--task", "3", "--catch-up", "169"},
       "--catch-up takes a number of hours from 1 to 168, or off, not \"169\""},
      {{"--task", "3", "--catch-up", "0"},
       "--catch-up takes a number of hours from 1 to 168, or off, not \"0\""},
      {{"--task", "3", "--catch-up", "none"},
       "--catch-up takes a number of hours from 1 to 168, or off, not \"none\""},
      {{"--task", "3", "--catch-up"}, "--catch-up needs a value"},
      {{"--task", "3", "--backups", "100"},
       "--backups takes a number of copies from 0 to 99, not \"100\""},
      {{"--task", "3", "--backups", "-1"},
       "--backups takes a number of copies from 0 to 99, not \"-1\""},
      {{"--task", "3", "--backups", "off"},
       "--backups takes a number of copies from 0 to 99, not \"off\""},
      {{"--task", "3", "--backup-folder="}, "--backup-folder takes a folder, or default"},
      {{"--task", "3", "--backup-folder", std::string(111, 'x')},
       "--backup-folder: the backup folder takes 111 bytes in the Windows-1252 code page; at "
       "most 110 can be stored"},
      {{"--task", "3", "--backup-folder", "/srv/\u03A9"},
       "--backup-folder: in the backup folder, the character \"\u03A9\" (U+03A9) at position 6 "
       "has no form in the Windows-1252 code page"},
      {{"--task", "3", "--backup-folder"}, "--backup-folder needs a value"},
      {{"--wait", "5"}, "'options' needs --task N"},
      {{"--task", "31", "--wait", "5"}, "--task takes a task number from 1 to 30, not \"31\""},
      {{"--task", "3", "--force=yes", "--wait", "5"}, "--force takes no value"},
      {{"--task", "3", "--json"}, "'options' has no option --json"},
      {{"--task", "3", "--wait", "5", "other.kiv"}, "'options' takes FILE, given 2 operands"},
  };
  for (const auto& [arguments, message] : cases) {
    const Finished refused = options(arguments);
    expectExit(refused, 2);
    EXPECT_EQ(refused.err, "kivctl: " + message + "; try 'kivctl --help'\n");
    EXPECT_EQ(refused.out, "");
  }
  expectFileHolds(tasks);
}

TEST_F(OptionsCommand, FilesThatCannotHoldOptionsAreLeftAlone) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::string message;
  };
  const auto current = readAll(schedule);
  const std::vector<Case> cases{
      {"FormatA", oldLayoutFile(tasks, ScheduleLayout::FormatA),
       "the file has an older layout, which holds no options; convert it first with 'kivctl "
       "convert'"},
      {"FormatB", oldLayoutFile(tasks, ScheduleLayout::FormatB),
       "the file has an older layout, which holds no options; convert it first with 'kivctl "
       "convert'"},
      {"truncated",
       {current.begin(), current.begin() + 5000},
       "the file is not a complete schedule: 5,000 bytes; a schedule is 53,633 bytes, or 33,153 / "
       "35,713 for the older layouts"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeAll(schedule, c.bytes);
    const Finished refused = options({"--task", "3", "--wait", "5"});
    expectExit(refused, 1);
    EXPECT_EQ(refused.err,
              "kivctl: " + schedule.string() + ": " + c.message + "; nothing was changed\n");
    EXPECT_EQ(readAll(schedule), c.bytes);
  }

  std::filesystem::remove(schedule);
  const Finished missing = options({"--task", "3", "--wait", "5"});
  expectExit(missing, 1);
  EXPECT_TRUE(missing.err.starts_with("kivctl: " + schedule.string() + ": ")) << missing.err;
  EXPECT_FALSE(std::filesystem::exists(schedule));
}

TEST_F(OptionsCommand, AScheduleAnotherKivProgramSchedulesIsLeftAlone) {
  const std::filesystem::path runtime = folder.path() / "runtime";
  const std::string savedRuntime = std::getenv("XDG_RUNTIME_DIR");
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  posix::ScheduleLocks window("kiv");
  ASSERT_EQ(window.claim(schedule.string()).kind, ScheduleClaim::Kind::Claimed);
  ::setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);

  const Finished refused = options({"--task", "3", "--wait", "5"});
  expectExit(refused, 1);
  EXPECT_EQ(refused.err, "kivctl: " + schedule.string() +
                             " is already being scheduled by process " +
                             std::to_string(::getpid()) +
                             " (kiv), which would go on with the options it read; nothing was "
                             "changed\n");
  expectFileHolds(tasks);
  // Reading them is no change.
  expectExit(options({"--task", "3"}), 0);
}

}  // namespace
}  // namespace kiv::testing
