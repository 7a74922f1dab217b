#include "list_command.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <variant>

#include "compile/printed_command_line.h"
#include "schedule_files.h"
#include "strict_json.h"
#include "support/compiled_task.h"
#include "support/temp_folder.h"

namespace kiv::ctl {
namespace {

using testing::TempFolder;

struct Listed {
  int status;
  std::string out;
  std::string err;
};

Listed list(const std::filesystem::path& file, ListOptions options) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = listCommand(file.string(), options, out, err);
  return {status, out.str(), err.str()};
}

// Each field under the name the listing gives it, read straight from the task.
using FieldValue = std::variant<std::string, std::int64_t>;
const std::vector<std::pair<std::string, std::function<FieldValue(const Task&)>>> kFields{
    {"taskName", [](const Task& t) { return t.TaskName; }},
    {"launchAt", [](const Task& t) { return t.LaunchAt; }},
    {"username", [](const Task& t) { return t.Username; }},
    {"version", [](const Task& t) { return std::int64_t{t.Version}; }},
    {"action", [](const Task& t) { return std::int64_t{t.Action}; }},
    {"macro", [](const Task& t) { return t.Macro; }},
    {"accessLocation", [](const Task& t) { return t.AccessLocation; }},
    {"databaseLocation", [](const Task& t) { return t.DatabaseLocation; }},
    {"securityFileLocation", [](const Task& t) { return t.SecurityFileLocation; }},
    {"daysToRunOn", [](const Task& t) { return std::int64_t{t.DaysToRunOn}; }},
    {"openExclusively", [](const Task& t) { return std::int64_t{t.OpenExclusively}; }},
    {"closeAfterRunning", [](const Task& t) { return std::int64_t{t.CloseAfterRunning}; }},
    {"compiled", [](const Task& t) { return std::int64_t{t.Compiled}; }},
};

// The "options" object a task with `options` lists.
nlohmann::json optionsJson(const TaskOptions& options) {
  nlohmann::json json{{"waitMinutes", options.wait.count()},
                      {"timeLimitMinutes", nullptr},
                      {"catchUpHours", nullptr}};
  if (options.timeLimit) json["timeLimitMinutes"] = options.timeLimit->count();
  if (options.catchUp) json["catchUpHours"] = options.catchUp->count();
  json["backups"] = options.backups;
  json["backupFolder"] = options.backupFolder;
  return json;
}

FieldValue jsonField(const nlohmann::json& value) {
  if (value.is_string()) return value.get<std::string>();
  return value.get<std::int64_t>();
}

void expectListedTasks(const nlohmann::json& listing, const TaskTable& expected,
                       bool showPasswords) {
  const nlohmann::json::array_t& tasks =
      listing.at("tasks").get_ref<const nlohmann::json::array_t&>();
  ASSERT_EQ(tasks.size(), 30U);
  for (int index = 0; index < kTaskCount; ++index) {
    const nlohmann::json& task = tasks.at(static_cast<std::size_t>(index));
    const Task& want = expected.at(index);
    SCOPED_TRACE("task " + std::to_string(index + 1));
    EXPECT_EQ(task.get_ref<const nlohmann::json::object_t&>().size(),
              kFields.size() + 4);  // with number, password, options, commandLine
    EXPECT_EQ(task.at("number").get<std::int64_t>(), index + 1);
    for (const auto& [name, field] : kFields) EXPECT_EQ(jsonField(task[name]), field(want)) << name;
    EXPECT_EQ(task.at("password").get<std::string>(),
              printedPassword(want.Password, showPasswords));
    EXPECT_EQ(task.at("options"), optionsJson(want.Options));
    const auto line = printedCommandLine(want, showPasswords);
    if (line) {
      EXPECT_EQ(task.at("commandLine").get<std::string>(), *line);
    } else {
      EXPECT_TRUE(task.at("commandLine").is_null());
    }
  }
}

// What opening the file in a fresh window leaves in the table.
TaskTable expectedAfterLoading(ScheduleLayout layout) {
  const TaskTable written = testing::variedTasks();
  if (layout == ScheduleLayout::Current) return written;
  TaskTable tasks;
  for (int index = 0; index < 20; ++index) {
    tasks.at(index) = written.at(index);
    // The older layouts hold no options, whatever their padding holds.
    tasks.at(index).Options = {};
    if (layout == ScheduleLayout::FormatA) tasks.at(index).TaskName.clear();
  }
  return tasks;
}

TEST(ListCommand, JsonHoldsEveryFieldOfEveryTaskInEachLayout) {
  const std::vector<std::pair<ScheduleLayout, std::string>> layouts{
      {ScheduleLayout::Current, "current"},
      {ScheduleLayout::FormatA, "formatA"},
      {ScheduleLayout::FormatB, "formatB"}};
  for (const auto& [layout, name] : layouts) {
    SCOPED_TRACE(name);
    TempFolder folder;
    const auto file = folder.path() / "schedule.kiv";
    if (layout == ScheduleLayout::Current) {
      testing::writeSchedule(file, testing::variedTasks());
    } else {
      testing::writeAll(file, testing::oldLayoutFile(testing::variedTasks(), layout));
    }

    const Listed listed = list(file, {true, true});

    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.err, "");
    const auto listing = testing::parseJson(listed.out);
    ASSERT_TRUE(listing) << listed.out;
    EXPECT_EQ(listing->get_ref<const nlohmann::json::object_t&>().size(), 2U);
    EXPECT_EQ(listing->at("layout").get<std::string>(), name);
    expectListedTasks(*listing, expectedAfterLoading(layout), true);
  }
}

TEST(ListCommand, MasksPasswordsEverywhereUnlessAsked) {
  TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  TaskTable tasks = testing::variedTasks();
  tasks[1].Username = "Admin";
  tasks[1].Password = "Sesame42";
  tasks[1].Action = 0;  // compiles, so its command line is listed
  testing::writeSchedule(file, tasks);

  for (const bool json : {true, false}) {
    const Listed masked = list(file, {json, false});
    EXPECT_EQ(masked.status, 0);
    EXPECT_EQ(masked.out.find("Sesame42"), std::string::npos) << masked.out;
    EXPECT_EQ(masked.out.find("pw\\"), std::string::npos);
    EXPECT_NE(masked.out.find("/pwd ********"), std::string::npos);
    EXPECT_NE(list(file, {json, true}).out.find("/pwd Sesame42"), std::string::npos);
  }
  const auto listing = testing::parseJson(list(file, {true, false}).out);
  ASSERT_TRUE(listing);
  expectListedTasks(*listing, tasks, false);
}

TEST(ListCommand, TextShowsEachFieldWithTheListEntryItSelects) {
  TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  TaskTable tasks;
  Task& task = tasks[2];
  task.TaskName = "Nightly compact";
  task.LaunchAt = "02:00:00";
  task.Password = "Sesame";
  task.AccessLocation = R"(C:\Office\MSACCESS.EXE)";
  task.DatabaseLocation = R"(D:\Data\Orders.mdb)";
  task.SecurityFileLocation = R"(D:\Data\Secure.mdw)";
  task.DaysToRunOn = 1;
  task.OpenExclusively = 1;
  task.Compiled = 1;
  task.Options = {std::chrono::minutes{0}, std::chrono::minutes{90}, std::nullopt, 0,
                  "\\\\backup\\Orders\tnightly"};
  tasks[3].Options.catchUp = std::chrono::hours{12};
  testing::writeSchedule(file, tasks);

  const Listed listed = list(file, {false, false});

  EXPECT_EQ(listed.status, 0);
  EXPECT_TRUE(listed.out.starts_with(
      "layout  current\n\nTask 1\n  taskName\n  launchAt              00:00:00\n"))
      << listed.out;
  const std::string task3 =
      "\nTask 3\n"
      "  taskName              Nightly compact\n"
      "  launchAt              02:00:00\n"
      "  username              Admin\n"
      "  password              ********\n"
      "  version               4 (2002)\n"
      "  action                0 (Compact)\n"
      "  macro\n"
      "  accessLocation        C:\\Office\\MSACCESS.EXE\n"
      "  databaseLocation      D:\\Data\\Orders.mdb\n"
      "  securityFileLocation  D:\\Data\\Secure.mdw\n"
      "  daysToRunOn           1 (Weekdays only)\n"
      "  openExclusively       1\n"
      "  closeAfterRunning     0\n"
      "  compiled              1\n"
      "  waitMinutes           0\n"
      "  timeLimitMinutes      90\n"
      "  catchUpHours          off\n"
      "  backups               0\n"
      "  backupFolder          \\\\backup\\Orders\\tnightly\n"
      "  commandLine           \"C:\\Office\\MSACCESS.EXE\" \"D:\\Data\\Orders.mdb\" /wrkgrp "
      "\"D:\\Data\\Secure.mdw\"  /user Admin /pwd ******** /excl /compact\n"
      "\nTask 4\n";
  EXPECT_NE(listed.out.find(task3), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("  commandLine           (none)\n"), std::string::npos);
  EXPECT_NE(listed.out.find("  compiled              0\n"
                            "  waitMinutes           60\n"
                            "  timeLimitMinutes      none\n"
                            "  catchUpHours          12\n"
                            "  backups               1\n"
                            "  backupFolder          default\n"),
            std::string::npos)
      << listed.out;
}

// The newest copy of a compact's database is listed once one is kept.
TEST(ListCommand, ShowsTheNewestCopyKeptOfACompactsDatabase) {
  TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  const auto backups = folder.path() / "Kiv backups";
  std::filesystem::create_directory(backups);
  for (const char* name : {"Orders 2026-12-09 0200.mdb", "Orders 2026-12-10 0200.mdb",
                           "Orders 2026-12-10 0200.accdb", "notes.txt"}) {
    testing::writeAll(backups / name, {'c'});
  }
  TaskTable tasks;
  tasks[1] = testing::compiledTask(1, "02:00:00");
  tasks[1].DatabaseLocation = testing::standInDatabase(folder.path() / "Orders.mdb");
  tasks[2] = tasks[1];
  tasks[2].Action = kMacro;  // keeps no copies
  testing::writeSchedule(file, tasks);
  const std::string newest = (backups / "Orders 2026-12-10 0200.mdb").string();

  const Listed text = list(file, {false, false});
  const std::string line = "  newestCopy            " + newest + "\n";
  const std::size_t at = text.out.find(line);
  EXPECT_NE(at, std::string::npos) << text.out;
  EXPECT_EQ(text.out.find(line, at + 1), std::string::npos) << "only the compact has copies";
  EXPECT_LT(text.out.find("\nTask 2\n"), at);
  EXPECT_GT(text.out.find("\nTask 3\n"), at);

  const Listed json = list(file, {true, false});
  const auto listing = testing::parseJson(json.out);
  ASSERT_TRUE(listing) << json.out;
  const auto& listed = listing->at("tasks");
  EXPECT_EQ(listed.at(1).at("newestCopy").get<std::string>(), newest);
  EXPECT_FALSE(listed.at(0).contains("newestCopy"));
  EXPECT_FALSE(listed.at(2).contains("newestCopy"));
}

TEST(ListCommand, AFileThatCannotBeReadIsOneLineAndAFailure) {
  TempFolder folder;
  const auto missing = folder.path() / "missing.kiv";
  const Listed listed = list(missing, {true, false});
  EXPECT_EQ(listed.status, 1);
  EXPECT_EQ(listed.out, "");
  EXPECT_EQ(listed.err, "kivctl: " + missing.string() + ": 2: No such file or directory\n");
}

}  // namespace
}  // namespace kiv::ctl
