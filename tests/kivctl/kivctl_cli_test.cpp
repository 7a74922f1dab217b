// The real kivctl binary: what a shell or a script sees.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "kivctl_process.h"
#include "schedule_files.h"
#include "strict_json.h"
#include "support/compiled_task.h"
#include "support/temp_folder.h"

namespace kiv::testing {
namespace {

std::size_t lineCount(const std::string& text) {
  return static_cast<std::size_t>(std::ranges::count(text, '\n'));
}

TEST(KivctlCli, HelpAndVersionSucceedOnStandardOutput) {
  const Finished help = runKivctl({"--help"});
  expectExit(help, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: kivctl COMMAND")) << help.out;
  for (const std::string command :
       {"list FILE", "next FILE", "check FILE", "run FILE", "convert IN OUT", "export FILE",
        "history [FILE]", "options FILE"}) {
    EXPECT_NE(help.out.find("  " + command), std::string::npos) << command;
  }
  EXPECT_EQ(help.err, "");

  const Finished version = runKivctl({"list", "x.kiv", "--version"});
  expectExit(version, 0);
  EXPECT_EQ(version.out, "kivctl (Kivander) 7.0.0\n");
  EXPECT_EQ(version.err, "");
}

TEST(KivctlCli, BadUsageExitsTwoWithOneLine) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{}, "kivctl: no command given; try 'kivctl --help'\n"},
      {{"show", "a.kiv"}, "kivctl: unknown command 'show'; try 'kivctl --help'\n"},
      {{"convert", "a.kiv"},
       "kivctl: 'convert' takes IN OUT, given 1 operand; try 'kivctl --help'\n"},
      {{"next", "a.kiv", "--count", "ten"},
       "kivctl: --count takes a whole number from 1 to 1000000, not \"ten\"; try 'kivctl "
       "--help'\n"},
      {{"run", "a.kiv", "--json"}, "kivctl: 'run' has no option --json; try 'kivctl --help'\n"},
  };
  for (const auto& [arguments, message] : cases) {
    const Finished finished = runKivctl(arguments);
    expectExit(finished, 2);
    EXPECT_EQ(finished.err, message);
    EXPECT_EQ(finished.out, "");
  }
}

TEST(KivctlCli, AFileThatCannotBeReadFailsEveryCommandWithOneLine) {
  const TempFolder folder;
  const std::string missing = (folder.path() / "missing.kiv").string();
  const std::string locked = (folder.path() / "locked.kiv").string();
  writeSchedule(locked, TaskTable{});
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  const bool root = ::geteuid() == 0;  // root reads any file

  const std::vector<std::vector<std::string>> commands{
      {"list", "@"},   {"list", "@", "--json"},
      {"next", "@"},   {"check", "@"},
      {"run", "@"},    {"convert", "@", (folder.path() / "out.kiv").string()},
      {"history", "@"}};
  for (std::vector<std::string> arguments : commands) {
    std::ranges::replace(arguments, std::string("@"), missing);
    const Finished finished = runKivctl(arguments);
    expectExit(finished, 1);
    EXPECT_EQ(finished.err, "kivctl: " + missing + ": 2: No such file or directory\n")
        << arguments[0];
    EXPECT_EQ(finished.out, "");
    if (root) continue;
    std::ranges::replace(arguments, missing, locked);
    const Finished refused = runKivctl(arguments);
    expectExit(refused, 1);
    EXPECT_EQ(refused.err, "kivctl: " + locked + ": 13: Permission denied\n") << arguments[0];
  }
  const Finished folderGiven = runKivctl({"list", folder.path().string()});
  expectExit(folderGiven, 1);
  EXPECT_EQ(lineCount(folderGiven.err), 1U);
  EXPECT_TRUE(folderGiven.err.starts_with("kivctl: " + folder.path().string() + ": "))
      << folderGiven.err;
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "out.kiv"));
}

// A pipe with no writer, a device or a socket is no schedule: each is refused
// at once, without waiting for a writer and without reading it as empty.
TEST(KivctlCli, AnythingButARegularFileFailsEveryCommandAtOnce) {
  const TempFolder folder;
  const std::string pipe = (folder.path() / "pipe.kiv").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string out = (folder.path() / "out.kiv").string();
  const std::vector<std::vector<std::string>> commands{
      {"list", "@"}, {"list", "@", "--json"}, {"next", "@"},   {"check", "@"},
      {"run", "@"},  {"convert", "@", out},   {"history", "@"}};

  for (const std::string& path : {pipe, std::string("/dev/zero"), std::string("/dev/null")}) {
    for (std::vector<std::string> arguments : commands) {
      std::ranges::replace(arguments, std::string("@"), path);
      const TempFolder logs;
      KivctlProcess process(arguments, logs.path());
      const std::optional<Ending> ending = process.waitFor(std::chrono::seconds{10});
      ASSERT_TRUE(ending.has_value()) << arguments[0] << " waits on " << path;
      EXPECT_TRUE(ending->exited);
      EXPECT_EQ(ending->status, 1) << arguments[0] << " " << path;
      EXPECT_EQ(process.err(),
                "kivctl: " + path + ": 1004: The schedule file is not a regular file.\n")
          << arguments[0];
      EXPECT_EQ(process.out(), "");
    }
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

// Output that cannot be written is a failure the caller must see, whether the
// first write fails or one half-way through.
TEST(KivctlCli, OutputThatCannotBeWrittenFailsWithOneLine) {
  const TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  TaskTable tasks = variedTasks();
  tasks[0] = compiledTask(0, "02:00:00");
  writeSchedule(file, tasks);
  const std::vector<std::vector<std::string>> commands{
      {"list", file.string()},
      {"list", file.string(), "--json", "--show-passwords"},
      {"next", file.string(), "--count", "100"},
      {"check", file.string()},
      {"--help"},
      {"--version"}};

  for (const std::vector<std::string>& arguments : commands) {
    const TempFolder logs;
    KivctlProcess process(arguments, logs.path(), {}, "/dev/full");
    const Ending ending = process.wait();
    EXPECT_TRUE(ending.exited);
    EXPECT_EQ(ending.status, 1) << arguments[0];
    EXPECT_TRUE(process.err().ends_with("kivctl: standard output: No space left on device\n"))
        << arguments[0] << ": " << process.err();
  }
}

TEST(KivctlCli, ListsTheScheduleAsJson) {
  const TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  writeSchedule(file, variedTasks());

  const Finished finished = runKivctl({"list", "--json", file.string()});

  expectExit(finished, 0);
  const auto listing = parseJson(finished.out);
  ASSERT_TRUE(listing) << finished.out;
  EXPECT_EQ(listing->at("layout").get<std::string>(), "current");
  ASSERT_EQ(listing->at("tasks").get_ref<const nlohmann::json::array_t&>().size(), 30U);
  EXPECT_EQ(listing->at("tasks").at(0).at("taskName").get<std::string>(),
            variedTasks()[0].TaskName);
  EXPECT_EQ(listing->at("tasks").at(1).at("password").get<std::string>(), "********");
}

TEST(KivctlCli, NextListsLaunchesAndNamesTasksThatNeverLaunch) {
  const TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  TaskTable tasks;
  tasks[2] = compiledTask(2, "02:00:00", 1);
  tasks[6] = compiledTask(6, "12:30:?0");
  tasks[2].TaskName = "Nightly compact";
  writeSchedule(file, tasks);

  const Finished json =
      runKivctl({"next", file.string(), "--from", "2026-12-10 02:00:00", "--count=3", "--json"});
  expectExit(json, 0);
  EXPECT_EQ(json.out,
            "[\n"
            "  {\"task\": 3, \"at\": \"2026-12-10 02:00:00\"},\n"
            "  {\"task\": 3, \"at\": \"2026-12-11 02:00:00\"},\n"
            "  {\"task\": 3, \"at\": \"2026-12-14 02:00:00\"}\n"
            "]\n");
  EXPECT_EQ(json.err,
            "kivctl: task 7 (launch time \"12:30:?0\") never launches: its interval is 0 hours\n");

  const Finished text = runKivctl(
      {"next", file.string(), "--from", "2026-12-10 02:00:01", "--until", "2026-12-14 02:00:00"});
  expectExit(text, 0);
  EXPECT_EQ(text.out,
            "2026-12-11 02:00:00  task 3  Nightly compact\n"
            "2026-12-14 02:00:00  task 3  Nightly compact\n");
}

// Under the system's rules of Europe/Berlin, the launch of the hour the
// clock skips is listed where it will happen.
TEST(KivctlCli, NextListsALaunchOfTheSkippedHourWhereItWillHappen) {
  const TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  TaskTable tasks;
  tasks[0] = compiledTask(0, "02:30:00");
  tasks[0].TaskName = "Nightly compact";
  tasks[1] = compiledTask(1, "02:45:?1");
  writeSchedule(file, tasks);
  const std::vector<std::string> arguments{"next", file.string(), "--from", "2027-03-28 00:00:00",
                                           "--count=3"};

  const Finished text = runKivctl(arguments, {"TZ=Europe/Berlin"});
  expectExit(text, 0);
  EXPECT_EQ(text.out,
            "2027-03-28 03:00:00  task 1  Nightly compact  (due 02:30:00, which daylight saving "
            "skips)\n"
            "2027-03-28 03:45:00  task 2\n"
            "2027-03-28 04:45:00  task 2\n");

  std::vector<std::string> json = arguments;
  json.emplace_back("--json");
  const Finished listed = runKivctl(json, {"TZ=America/New_York"});
  EXPECT_EQ(listed.out,
            "[\n"
            "  {\"task\": 1, \"at\": \"2027-03-28 02:30:00\"},\n"
            "  {\"task\": 2, \"at\": \"2027-03-28 02:45:00\"},\n"
            "  {\"task\": 2, \"at\": \"2027-03-28 03:45:00\"}\n"
            "]\n")
      << "New York changed a fortnight earlier";
}

TEST(KivctlCli, HistoryShowsTheUsersJournal) {
  const TempFolder folder;
  const auto journal = folder.path() / "kiv" / "launches.jsonl";
  std::filesystem::create_directories(journal.parent_path());
  const std::string line =
      R"({"record":"launch","at":"2027-03-28 03:00:00","schedule":"/srv/nightly.kiv","task":3,)"
      R"("dueAt":"2027-03-28 02:30:00","taskName":"","how":"afterSkippedHour",)"
      R"("commandLine":null,"result":"started","pid":7})";
  writeAll(journal, std::vector<std::uint8_t>(line.begin(), line.end()));

  const Finished shown =
      runKivctl({"history", "--task", "3", "--wide"}, {"XDG_STATE_HOME=" + folder.path().string()});
  expectExit(shown, 0);
  EXPECT_EQ(shown.out,
            "at                   task  name  how               result          outcome  schedule\n"
            "2027-03-28 03:00:00  3           afterSkippedHour  started, pid 7  -        "
            "/srv/nightly.kiv\n");
  EXPECT_EQ(shown.err, "");
}

TEST(KivctlCli, CheckFailsWhenItFindsAProblem) {
  const TempFolder folder;
  const auto file = folder.path() / "schedule.kiv";
  TaskTable tasks;
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].DatabaseLocation = standInDatabase(folder.path() / "orders.mdb");
  writeSchedule(file, tasks);
  const Finished sound = runKivctl({"check", file.string()});
  expectExit(sound, 0);
  EXPECT_EQ(sound.out + sound.err, "");

  tasks[0].Action = 1;
  writeSchedule(file, tasks);
  const Finished faulty = runKivctl({"check", file.string()});
  expectExit(faulty, 1);
  EXPECT_EQ(faulty.out, file.string() + ": task 1: A macro name is required.\n");
}

TEST(KivctlCli, ConvertsAnOldLayout) {
  const TempFolder folder;
  const auto in = folder.path() / "old.kiv";
  const auto out = folder.path() / "new.kiv";
  writeAll(in, oldLayoutFile(variedTasks(), ScheduleLayout::FormatA));

  const Finished finished = runKivctl({"convert", in.string(), out.string()});

  expectExit(finished, 0);
  EXPECT_EQ(finished.out + finished.err, "");
  const Finished listed = runKivctl({"list", "--json", out.string()});
  const auto listing = parseJson(listed.out);
  ASSERT_TRUE(listing) << listed.out;
  EXPECT_EQ(listing->at("layout").get<std::string>(), "current");
  EXPECT_EQ(listing->at("tasks").at(19).at("databaseLocation").get<std::string>(),
            variedTasks()[19].DatabaseLocation);
  EXPECT_EQ(listing->at("tasks").at(19).at("taskName").get<std::string>(), "");
}

}  // namespace
}  // namespace kiv::testing
