// "kivctl run" as a real process: real clock, real signals, real launches
// of the stand-in program.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/syscall.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <system_error>
#include <thread>

#include "kivctl_process.h"
#include "posix/child_process_support.h"
#include "posix/schedule_locks.h"
#include "posix/stand_in_record.h"
#include "schedule_files.h"
#include "scheduler/date_time_text.h"
#include "stand_in_folders.h"
#include "support/compiled_task.h"
#include "support/temp_folder.h"
#include "wall_clock.h"

namespace kiv::testing {
namespace {

constexpr std::string_view kReady = "until SIGINT or SIGTERM.\n";

// "hh:mm:ss" two seconds from now, on the local clock kivctl reads.
std::string twoSecondsAhead() {
  return dateTimeText(ctl::localNow() + std::chrono::seconds{2}).substr(11);
}

class KivctlRun : public ::testing::Test, protected StandInFolders {
 protected:
  // Task 4 launches the stand-in two seconds from now with `database`.
  void scheduleStandIn(bool closeAfterRunning, const std::string& password = "") {
    TaskTable tasks;
    Task& task = tasks[3];
    task = compiledTask(3, twoSecondsAhead());
    task.Password = password;
    task.AccessLocation = KIV_STAND_IN;
    task.DatabaseLocation = database.string();
    task.CloseAfterRunning = closeAfterRunning ? 1 : 0;
    tasks[9] = compiledTask(9, "12:30:?5");  // compiled, but not due now
    writeSchedule(schedule, tasks);
  }

  std::unique_ptr<KivctlProcess> start(const std::filesystem::path& output) {
    std::filesystem::create_directories(output);
    std::vector<std::string> arguments{"run", schedule.string()};
    arguments.insert(arguments.end(), runOptions.begin(), runOptions.end());
    return std::make_unique<KivctlProcess>(arguments, output, environment());
  }
  std::unique_ptr<KivctlProcess> start() { return start(folder.path()); }

  // The journal's launch and ended lines once it holds `count` of them; the
  // lines that tell when scheduling started and stopped are left out.
  std::vector<std::string> journalLines(std::size_t count) {
    const auto journal = state / "kiv" / "launches.jsonl";
    std::vector<std::string> lines;
    for (int attempt = 0; attempt < 200 && lines.size() < count; ++attempt) {
      lines.clear();
      std::istringstream in(waitForText(journal, "\n"));
      for (std::string line; std::getline(in, line);) {
        if (line.find(R"("record":"scheduling")") == std::string::npos) lines.push_back(line);
      }
      if (lines.size() < count) std::this_thread::sleep_for(std::chrono::milliseconds{50});
    }
    return lines;
  }

  // Everything under the state folder, to show what never reached it.
  std::string everythingKept() {
    std::string text;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(state)) {
      if (entry.is_regular_file()) {
        const auto bytes = readAll(entry.path());
        text.append(bytes.begin(), bytes.end());
      }
    }
    return text;
  }

  // The arguments the stand-in was started with, once it has been.
  std::vector<std::string> launchedArguments() {
    const auto parsed = parseStandInRecord(waitForText(record, "end\n"));
    return parsed ? parsed->arguments : std::vector<std::string>{};
  }

  // Options after "run FILE".
  std::vector<std::string> runOptions;
};

TEST_F(KivctlRun, ATaskDueTwoSecondsAheadStartsTheProgram) {
  scheduleStandIn(false);
  const auto kivctl = start();

  EXPECT_EQ(launchedArguments(), (std::vector<std::string>{KIV_STAND_IN, database.string(), "/user",
                                                           "Admin", "/compact"}));
  const std::string out = waitForText(kivctl->outFile(), "(scheduled)\n");
  EXPECT_TRUE(out.starts_with("Last launch: task 4 @ ")) << out;
  EXPECT_TRUE(out.ends_with(" (scheduled)\n")) << out;

  kivctl->signal(SIGTERM);
  const Ending ending = kivctl->wait();
  EXPECT_TRUE(ending.exited);
  EXPECT_EQ(ending.status, 0);
  EXPECT_EQ(kivctl->out(), out) << "one launch, one status";
  const std::string err = kivctl->err();
  EXPECT_TRUE(err.ends_with(" Scheduling 2 compiled tasks of " + schedule.string() + " " +
                            std::string(kReady)))
      << err;
}

// The started program is kivctl's child until it ends; then kivctl reaps it,
// so no zombie is left while the scheduler goes on.
TEST_F(KivctlRun, TheStartedProgramIsReapedWhenItEnds) {
  scheduleStandIn(false);
  const auto kivctl = start();
  ASSERT_EQ(launchedArguments().size(), 5U);

  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds{20};
  while (!kivctl->children().empty() && std::chrono::steady_clock::now() < limit) {
    std::this_thread::sleep_for(std::chrono::milliseconds{20});
  }
  EXPECT_EQ(kivctl->children(), std::vector<pid_t>{});
  kivctl->signal(SIGTERM);
  EXPECT_EQ(kivctl->wait().status, 0);
}

TEST_F(KivctlRun, ATaskThatClosesTheSchedulerEndsItAfterTheLaunch) {
  scheduleStandIn(true);
  const auto kivctl = start();

  const Ending ending = kivctl->wait();

  EXPECT_TRUE(ending.exited);
  EXPECT_EQ(ending.status, 0);
  EXPECT_EQ(launchedArguments().size(), 5U);
  const std::string out = kivctl->out();
  EXPECT_TRUE(out.starts_with("Last launch: task 4 @ ")) << out;
  EXPECT_EQ(std::ranges::count(out, '\n'), 1);
}

TEST_F(KivctlRun, StopSignalsEndItCleanly) {
  writeSchedule(schedule, TaskTable{});
  for (const int stop : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(stop);
    const auto kivctl = start();
    ASSERT_NE(waitForText(kivctl->errFile(), kReady).find(kReady), std::string::npos);

    kivctl->signal(stop);
    const Ending ending = kivctl->wait();

    EXPECT_TRUE(ending.exited) << "ended by signal " << ending.signal;
    EXPECT_EQ(ending.status, 0);
    EXPECT_EQ(kivctl->out(), "");
  }
}

TEST_F(KivctlRun, MessagesOfTheWindowBecomeLogLines) {
  TaskTable tasks;
  // Task 1 is shown on loading; stored as compiled without a database, it
  // fails compilation, which the window would say in a message box.
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].DatabaseLocation.clear();
  writeAll(schedule, oldLayoutFile(tasks, ScheduleLayout::FormatB));
  const auto kivctl = start();
  const std::string err = waitForText(kivctl->errFile(), kReady);
  kivctl->signal(SIGTERM);
  EXPECT_EQ(kivctl->wait().status, 0);

  EXPECT_NE(err.find(" This schedule is from an old version of Kiv; conversion will be attempted."),
            std::string::npos)
      << err;
  EXPECT_NE(err.find(" The location of the database is required.\n"), std::string::npos) << err;
  EXPECT_EQ(std::ranges::count(err, '\n'), 3) << err;
}

TEST_F(KivctlRun, EachLaunchIsJournalledWithThePasswordMasked) {
  scheduleStandIn(true, "Sesame");
  const auto kivctl = start();
  EXPECT_TRUE(kivctl->wait().exited);

  // kivctl ends with the launch, before the program: its outcome is unknown.
  const std::vector<std::string> lines = journalLines(2);
  ASSERT_EQ(lines.size(), 2U);
  const std::string& line = lines[0];
  EXPECT_NE(line.find(R"("record":"launch")"), std::string::npos) << line;
  EXPECT_NE(lines[1].find(R"("record":"ended")"), std::string::npos) << lines[1];
  EXPECT_NE(lines[1].find(R"("outcome":"unknown")"), std::string::npos) << lines[1];
  EXPECT_NE(line.find(R"("schedule":")" + schedule.string() + "\""), std::string::npos) << line;
  EXPECT_NE(line.find(R"("task":4,)"), std::string::npos) << line;
  EXPECT_NE(line.find(R"("how":"scheduled")"), std::string::npos) << line;
  EXPECT_NE(line.find(R"("result":"started")"), std::string::npos) << line;
  EXPECT_NE(line.find(" /pwd ******** /compact"), std::string::npos) << line;
  EXPECT_EQ(everythingKept().find("Sesame"), std::string::npos);
  const std::vector<std::string> arguments = launchedArguments();
  EXPECT_NE(std::ranges::find(arguments, "Sesame"), arguments.end());  // the program has it
}

// A program that ends while kivctl runs is reaped, its exit status and how
// long it ran are journalled, and a failure is told on standard error.
TEST_F(KivctlRun, AProgramThatFailsIsToldAndItsOutcomeJournalled) {
  TaskTable tasks;
  tasks[3] = compiledTask(3, twoSecondsAhead());
  tasks[3].TaskName = "Nightly compact";
  tasks[3].AccessLocation = "/bin/false";
  tasks[3].DatabaseLocation = database.string();
  writeSchedule(schedule, tasks);
  const auto kivctl = start();

  const std::string err = waitForText(kivctl->errFile(), " failed: ");
  const std::vector<std::string> lines = journalLines(2);
  kivctl->signal(SIGTERM);
  EXPECT_EQ(kivctl->wait().status, 0);

  EXPECT_NE(err.find(" Task 4 (Nightly compact) failed: exit status 1 after "), std::string::npos)
      << err;
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_NE(lines[0].find(R"("result":"started","pid":)"), std::string::npos) << lines[0];
  const std::string& ended = lines[1];
  EXPECT_NE(ended.find(R"("record":"ended")"), std::string::npos) << ended;
  EXPECT_NE(ended.find(R"("outcome":"exited","exitStatus":1,"durationMs":)"), std::string::npos)
      << ended;
  EXPECT_EQ(kivctl->children(), std::vector<pid_t>{});
}

// The metrics file a real run rewrites reads as the Prometheus text format
// with the collectors' own parser, and its figures are the journal's: task 4
// fails with status 1, task 5 ends with status 0.
TEST_F(KivctlRun, TheMetricsFileHoldsTheJournalsFiguresForACollector) {
  const std::filesystem::path other = folder.path() / "other.mdb";
  standInDatabase(other);
  TaskTable tasks;
  const std::string due = twoSecondsAhead();
  tasks[3] = compiledTask(3, due);
  tasks[3].TaskName = "Nightly \"compact\"";
  tasks[3].AccessLocation = "/bin/false";
  tasks[3].DatabaseLocation = database.string();
  tasks[4] = compiledTask(4, due);
  tasks[4].AccessLocation = "/bin/true";
  tasks[4].DatabaseLocation = other.string();
  writeSchedule(schedule, tasks);
  const std::filesystem::path metrics = folder.path() / "kiv.prom";
  runOptions = {"--metrics", metrics.string()};
  const std::int64_t before = std::chrono::duration_cast<std::chrono::seconds>(
                                  std::chrono::system_clock::now().time_since_epoch())
                                  .count();
  const auto kivctl = start();

  const std::vector<std::string> lines = journalLines(4);
  waitForText(metrics, R"(kiv_last_exit_status{schedule=")" + schedule.string() +
                           R"(",task="4",name="Nightly \"compact\""} 1)");
  waitForText(metrics, R"(kiv_last_exit_status{schedule=")" + schedule.string() +
                           R"(",task="5",name=""} 0)");
  kivctl->signal(SIGTERM);
  EXPECT_EQ(kivctl->wait().status, 0);
  const std::int64_t after = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();

  // Each sample as "name<TAB>task<TAB>name label<TAB>value", as the parser reads it.
  const Finished parsed = runProgram(
      {"/usr/bin/python3", "-c",
       "import sys\n"
       "from prometheus_client.parser import text_string_to_metric_families\n"
       "for family in text_string_to_metric_families(open(sys.argv[1]).read()):\n"
       "  for s in family.samples:\n"
       "    assert s.labels.get('schedule', sys.argv[2]) == sys.argv[2], s\n"
       "    print(s.name, s.labels.get('task', '-'), s.labels.get('name', '-'), s.value, "
       "sep='\\t')\n",
       metrics.string(), schedule.string()});
  ASSERT_EQ(parsed.ending.status, 0) << parsed.err;
  std::map<std::string, double> samples;
  std::istringstream in(parsed.out);
  for (std::string line; std::getline(in, line);) {
    const std::size_t value = line.rfind('\t');
    samples[line.substr(0, value)] = std::stod(line.substr(value + 1));
  }

  // The figures the journal gives: each ended line's status and duration.
  std::map<std::string, std::pair<double, double>> ends;  // task: status, seconds
  for (const std::string& line : lines) {
    if (line.find(R"("record":"ended")") == std::string::npos) continue;
    const auto field = [&line](const std::string& name) {
      const std::size_t at = line.find("\"" + name + "\":") + name.size() + 3;
      return line.substr(at, line.find_first_of(",}", at) - at);
    };
    ends[field("task")] = {std::stod(field("exitStatus")), std::stod(field("durationMs")) / 1000};
  }
  ASSERT_EQ(ends.size(), 2U) << ::testing::PrintToString(lines);
  const std::string task4 = "4\tNightly \"compact\"";
  const std::string task5 = "5\t";
  const std::map<std::string, double> expected{
      {"kiv_launches_started_total\t" + task4, 1},
      {"kiv_launches_failed_total\t" + task4, 1},
      {"kiv_launches_missed_total\t" + task4, 0},
      {"kiv_last_exit_status\t" + task4, ends["4"].first},
      {"kiv_last_duration_seconds\t" + task4, ends["4"].second},
      {"kiv_launches_started_total\t" + task5, 1},
      {"kiv_launches_failed_total\t" + task5, 0},
      {"kiv_launches_missed_total\t" + task5, 0},
      {"kiv_last_exit_status\t" + task5, ends["5"].first},
      {"kiv_last_duration_seconds\t" + task5, ends["5"].second},
  };
  for (const auto& [sample, value] : expected) {
    ASSERT_TRUE(samples.contains(sample)) << sample << "\n" << parsed.out;
    EXPECT_DOUBLE_EQ(samples[sample], value) << sample;
  }
  EXPECT_EQ(ends["4"].first, 1);
  for (const std::string& stamp :
       {"kiv_last_start_timestamp_seconds\t" + task5, "kiv_last_end_timestamp_seconds\t" + task4,
        std::string("kiv_metrics_written_timestamp_seconds\t-\t-")}) {
    ASSERT_TRUE(samples.contains(stamp)) << stamp << "\n" << parsed.out;
    EXPECT_GE(samples[stamp], static_cast<double>(before)) << stamp;
    EXPECT_LE(samples[stamp], static_cast<double>(after)) << stamp;
  }
}

// Two tasks on one database, due two seconds apart, whose program runs five
// seconds: the second starts once the first has ended, never beside it, and
// its journal line says it waited.
TEST_F(KivctlRun, ALaunchOnABusyDatabaseWaitsForTheProgramBeforeIt) {
  const std::filesystem::path log = folder.path() / "runs.log";
  const std::filesystem::path work = folder.path() / "orders.sh";
  {
    std::ofstream script(work);
    script << "echo start $(date +%s%N) >> '" << log.string() << "'\nsleep 5\n"
           << "echo end $(date +%s%N) >> '" << log.string() << "'\n";
  }
  TaskTable tasks;
  for (const int index : {3, 4}) {
    tasks[index] = compiledTask(index, "");
    tasks[index].AccessLocation = "/bin/sh";  // runs the "database", a script
    tasks[index].DatabaseLocation = work.string();
  }
  const LocalTime due = ctl::localNow() + std::chrono::seconds{2};
  tasks[3].LaunchAt = dateTimeText(due).substr(11);
  tasks[4].LaunchAt = dateTimeText(due + std::chrono::seconds{2}).substr(11);
  writeSchedule(schedule, tasks);
  const auto kivctl = start();

  const std::vector<std::string> lines = journalLines(3);
  kivctl->signal(SIGTERM);
  EXPECT_EQ(kivctl->wait().status, 0);

  ASSERT_GE(lines.size(), 3U);
  EXPECT_NE(lines[0].find(R"("task":4,)"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find(R"("record":"ended")"), std::string::npos) << lines[1];
  const std::string& second = lines[2];
  EXPECT_NE(second.find(R"("task":5,)"), std::string::npos) << second;
  EXPECT_NE(second.find(R"("result":"started")"), std::string::npos) << second;
  EXPECT_NE(second.find(R"("waitedSeconds":)"), std::string::npos) << second;
  // The first run's end is logged before the second run's start.
  const std::string runs = waitForText(log, "\nstart");
  std::istringstream in(runs);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  ASSERT_GE(words.size(), 6U) << runs;
  EXPECT_EQ(words[0], "start");
  EXPECT_EQ(words[2], "end");
  EXPECT_EQ(words[4], "start");
  EXPECT_LE(std::stoll(words[3]), std::stoll(words[5])) << runs;
}

// Stand-ins for a compact that deletes its database, one that empties it
// (both exit 1), and one that leaves it alone: the first two databases are
// put back from the copies kept before the runs, byte for byte, and the
// third is not touched.
TEST_F(KivctlRun, ADatabaseARunDeletedOrEmptiedIsPutBackFromItsCopy) {
  struct Run {
    std::string name;
    std::string script;
    bool restored;
  };
  const std::vector<Run> runs{{"deletes", "rm -f \"$1\"\nexit 1\n", true},
                              {"empties", ": > \"$1\"\nexit 1\n", true},
                              {"leaves", "exit 0\n", false}};
  TaskTable tasks;
  std::vector<std::vector<std::uint8_t>> originals;
  const std::string due = twoSecondsAhead();
  for (std::size_t index = 0; index < runs.size(); ++index) {
    const std::filesystem::path program = folder.path() / (runs[index].name + ".sh");
    {
      std::ofstream script(program);
      script << "#!/bin/sh\n" << runs[index].script;
    }
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    const auto db = folder.path() / (runs[index].name + ".mdb");
    standInDatabase(db);
    originals.push_back(readAll(db));
    Task& task = tasks.at(index);
    task = compiledTask(static_cast<int>(index), due);
    task.AccessLocation = program.string();
    task.DatabaseLocation = db.string();
  }
  writeSchedule(schedule, tasks);
  const auto kivctl = start();
  const std::vector<std::string> lines = journalLines(6);
  kivctl->signal(SIGTERM);
  EXPECT_EQ(kivctl->wait().status, 0);

  const std::string err = kivctl->err();
  for (std::size_t index = 0; index < runs.size(); ++index) {
    const Run& run = runs[index];
    const auto db = folder.path() / (run.name + ".mdb");
    EXPECT_EQ(readAll(db), originals[index]) << run.name;
    const auto ended = std::ranges::find_if(lines, [&](const std::string& line) {
      return line.find(R"("record":"ended")") != std::string::npos &&
             line.find("\"task\":" + std::to_string(index + 1) + ",") != std::string::npos;
    });
    ASSERT_NE(ended, lines.end()) << run.name;
    const std::string restored = "\"restored\":\"" + run.name + " ";
    EXPECT_EQ(ended->find(restored) != std::string::npos, run.restored) << *ended;
    EXPECT_EQ(err.find(db.string() + " was ") != std::string::npos, run.restored) << err;
  }
}

TEST_F(KivctlRun, AScheduledStartThatFailsIsALineOnStandardErrorAndInTheJournal) {
  TaskTable tasks;
  tasks[3] = compiledTask(3, twoSecondsAhead());
  tasks[3].TaskName = "Nightly compact";
  tasks[3].AccessLocation = (folder.path() / "no-such-program").string();
  tasks[3].DatabaseLocation = database.string();
  tasks[3].Password = "Sesame";
  writeSchedule(schedule, tasks);
  const auto kivctl = start();

  const std::string err = waitForText(kivctl->errFile(), "could not be started");
  kivctl->signal(SIGTERM);
  EXPECT_EQ(kivctl->wait().status, 0);

  const std::string told = " Task 4 (Nightly compact) could not be started: ";
  EXPECT_NE(err.find(told), std::string::npos) << err;
  EXPECT_NE(err.find("no-such-program"), std::string::npos) << err;
  EXPECT_EQ(err.find("Sesame"), std::string::npos) << err;
  const std::vector<std::string> lines = journalLines(1);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_NE(lines[0].find(R"("result":"notStarted","reason":")"), std::string::npos) << lines[0];
  EXPECT_EQ(everythingKept().find("Sesame"), std::string::npos);
}

// One schedule, one scheduler: a second one is refused while the first runs,
// and the lock of a first one that was killed is free again.
TEST_F(KivctlRun, ASecondSchedulerOnOneScheduleIsRefusedUntilTheFirstIsGone) {
  writeSchedule(schedule, TaskTable{});
  const auto first = start(folder.path() / "first");
  ASSERT_NE(waitForText(first->errFile(), kReady).find(kReady), std::string::npos);

  const auto second = start(folder.path() / "second");
  const Ending refused = second->wait();
  EXPECT_TRUE(refused.exited);
  EXPECT_EQ(refused.status, 1);
  const std::string err = second->err();
  EXPECT_TRUE(
      err.starts_with("kivctl: " + schedule.string() + " is already being scheduled by process "))
      << err;
  EXPECT_TRUE(err.ends_with(" (kivctl)\n")) << err;
  EXPECT_EQ(std::ranges::count(err, '\n'), 1) << err;

  first->signal(SIGKILL);
  EXPECT_EQ(first->wait().signal, SIGKILL);
  const auto third = start(folder.path() / "third");
  EXPECT_NE(waitForText(third->errFile(), kReady).find(kReady), std::string::npos);
  third->signal(SIGTERM);
  EXPECT_EQ(third->wait().status, 0);
}

TEST_F(KivctlRun, AScheduleTheWindowProgramHoldsIsRefused) {
  writeSchedule(schedule, TaskTable{});
  const std::string savedRuntime = std::getenv("XDG_RUNTIME_DIR");
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  posix::ScheduleLocks window("kiv");
  ASSERT_EQ(window.claim(schedule.string()).kind, ScheduleClaim::Kind::Claimed);
  ::setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);

  const auto kivctl = start();
  EXPECT_EQ(kivctl->wait().status, 1);
  EXPECT_EQ(kivctl->err(), "kivctl: " + schedule.string() +
                               " is already being scheduled by process " +
                               std::to_string(::getpid()) + " (kiv)\n");
}

// On a system without the real-time timer kivctl run waits on (a filter
// refuses timerfd_create to kivctl here) the timer's constructor throws: kivctl
// ends with one line naming the failed call and a failure status, never an
// abort. timeout only bounds a kivctl that would wrongly run on.
TEST_F(KivctlRun, ASystemCallThatFailsEndsItWithOneLineAndAFailureStatus) {
  scheduleStandIn(false);
  const std::string answer = inChildProcess([&]() -> std::string {
    if (!refuseSystemCalls({SYS_timerfd_create})) {
      return std::string(kSkipped) + "no system call filter here";
    }
    const Finished finished =
        runProgram({"timeout", "60", KIVCTL, "run", schedule.string()},
                   {"XDG_STATE_HOME=" + state.string(), "XDG_RUNTIME_DIR=" + runtime.string()});
    if (!finished.ending.exited) {
      return "ended by signal " + std::to_string(finished.ending.signal) + ": " + finished.err;
    }
    if (finished.ending.status != 1) {
      return "status " + std::to_string(finished.ending.status) + ": " + finished.err;
    }
    const std::string expected =
        "kivctl: timerfd_create: " + std::error_code(ENOSYS, std::generic_category()).message();
    if (!finished.err.ends_with("\n" + expected + "\n")) return "told: " + finished.err;
    if (!finished.out.empty()) return "printed: " + finished.out;
    return "";
  });
  if (answer.starts_with(kSkipped)) GTEST_SKIP() << answer;
  EXPECT_EQ(answer, "");
}

}  // namespace
}  // namespace kiv::testing
