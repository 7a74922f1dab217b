#include "history_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "list_command.h"
#include "schedule_files.h"
#include "strict_json.h"
#include "support/temp_folder.h"

namespace kiv::ctl {
namespace {

using std::chrono::milliseconds;
using testing::TempFolder;

class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::writeSchedule(nightly, TaskTable{});
    std::filesystem::create_symlink(nightly, folder.path() / "link.kiv");
  }

  LaunchRecord launch(std::string at, int task, LaunchHow how, std::optional<ProcessId> pid,
                      std::string schedule = "") {
    LaunchRecord record;
    record.at = std::move(at);
    record.schedule = schedule.empty() ? nightly.string() : std::move(schedule);
    record.task = task;
    record.taskName = task == 3 ? "Nightly compact" : "";
    record.how = how;
    record.commandLine = R"("C:\Office\MSACCESS.EXE" /pwd ******** /compact)";
    record.started = pid.has_value() || how == LaunchHow::OnDemand;
    record.pid = pid;
    if (!record.started) record.reason = "the clock moved on";
    return record;
  }

  void add(const JournalRecord& record) {
    journal += std::visit([](const auto& r) { return journalLine(r); }, record) + "\n";
  }

  void end(const LaunchRecord& launch, ProgramOutcome outcome) {
    add(EndedRecord{launch.at, launch.schedule, launch.task, *launch.pid, outcome, {}, {}});
  }

  // A journal of two schedules: launches of every kind, outcomes after them.
  void fillJournal() {
    const LaunchRecord first = launch("2027-03-27 02:30:00", 3, LaunchHow::Scheduled, 41);
    add(first);
    add(launch("2027-03-27 09:00:00", 5, LaunchHow::Scheduled, 42, "/srv/other.kiv"));
    end(first, {ProgramOutcome::Kind::Exited, 0, milliseconds{12'300}});
    LaunchRecord madeUp = launch("2027-03-28 03:00:00", 3, LaunchHow::AfterSkippedHour, 43);
    madeUp.dueAt = "2027-03-28 02:30:00";
    add(madeUp);
    end(madeUp, {ProgramOutcome::Kind::Signalled, 9, milliseconds{200'000}});
    add(launch("2027-03-28 07:00:00", 4, LaunchHow::Missed, std::nullopt));
    add(launch("2027-03-28 15:04:05", 4, LaunchHow::OnDemand, std::nullopt));
    add(launch("2027-03-29 02:30:00", 3, LaunchHow::Scheduled, 44));
  }

  struct Shown {
    int status;
    std::string out;
    std::string err;
  };

  Shown history(const HistoryFilter& filter, bool json) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = historyCommand(filter, {json, std::nullopt}, journal, out, err);
    return {status, out.str(), err.str()};
  }

  TempFolder folder;
  std::filesystem::path nightly = folder.path() / "nightly.kiv";
  std::string journal;
};

TEST_F(HistoryTest, ATableOfOneScheduleNewestLastWithOutcomesJoined) {
  fillJournal();
  const Shown shown = history({nightly.string(), std::nullopt, std::nullopt}, false);
  EXPECT_EQ(shown.status, 0);
  EXPECT_EQ(shown.err, "");
  EXPECT_EQ(shown.out,
            "at                   task  name             how               result           "
            "outcome\n"
            "2027-03-27 02:30:00  3     Nightly compact  scheduled         started, pid 41  "
            "exit status 0 after 12.3 s\n"
            "2027-03-28 03:00:00  3     Nightly compact  afterSkippedHour  started, pid 43  "
            "ended by signal 9 after 3 min 20 s\n"
            "2027-03-28 07:00:00  4                      missed            missed           "
            "the clock moved on\n"
            "2027-03-28 15:04:05  4                      onDemand          started          -\n"
            "2027-03-29 02:30:00  3     Nightly compact  scheduled         started, pid 44  -\n");
}

// A name holding a line break or an escape sequence neither splits a row nor
// reaches the terminal as a command; JSON keeps it exact.
TEST_F(HistoryTest, ControlCharactersInTextsAreShownEscaped) {
  LaunchRecord odd =
      launch("2027-03-27 02:30:00", 3, LaunchHow::Scheduled, 41, "/srv/odd\x1b]0;title\x07.kiv");
  odd.taskName = "two\nlines\x1b[31m\tred\x7f";
  add(odd);

  const Shown text = history({}, false);
  EXPECT_EQ(text.out.substr(text.out.find('\n') + 1),
            "2027-03-27 02:30:00  3     two\\nlines\\e[31m\\tred\\x7F  scheduled  started, pid 41  "
            "-        /srv/odd\\e]0;title\\x07.kiv\n");
  const Shown json = history({}, true);
  const std::optional<nlohmann::json> parsed = testing::parseJson(json.out);
  ASSERT_TRUE(parsed.has_value()) << json.out;
  EXPECT_EQ(parsed->at(0).at("taskName").get<std::string>(), odd.taskName);
}

TEST_F(HistoryTest, WithoutAFileEveryScheduleIsShownAndNamed) {
  fillJournal();
  const Shown shown = history({}, false);
  std::istringstream lines(shown.out);
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_EQ(rows.size(), 7U);
  EXPECT_TRUE(rows[0].ends_with("  outcome                             schedule")) << rows[0];
  EXPECT_TRUE(rows[2].starts_with("2027-03-27 09:00:00  5")) << rows[2];
  EXPECT_TRUE(rows[2].ends_with("  /srv/other.kiv")) << rows[2];
  EXPECT_TRUE(rows[1].ends_with("  " + nightly.string())) << rows[1];
}

// Launches made before a schedule was first saved belong to no file: they are
// shown as untitled, and never as launches of a file.
TEST_F(HistoryTest, AnUntitledSchedulesLaunchesAreShownAsSuch) {
  LaunchRecord untitled = launch("2027-03-28 15:04:05", 2, LaunchHow::OnDemand, std::nullopt);
  untitled.schedule.clear();
  add(untitled);

  const Shown table = history({}, false);
  EXPECT_TRUE(table.out.ends_with("  (untitled)\n")) << table.out;
  const Shown json = history({}, true);
  EXPECT_NE(json.out.find(R"("schedule": null)"), std::string::npos) << json.out;
  EXPECT_EQ(history({nightly.string(), {}, {}}, false).out.find("2027-03-28 15:04:05"),
            std::string::npos);
}

TEST_F(HistoryTest, FiltersByTaskAndStartAndKnowsAFileByAnyOfItsNames) {
  fillJournal();
  const std::string link = (folder.path() / "link.kiv").string();
  struct Case {
    HistoryFilter filter;
    std::vector<std::string> ats;
  };
  const std::vector<Case> cases{
      {{link, 3, std::nullopt},
       {"2027-03-27 02:30:00", "2027-03-28 03:00:00", "2027-03-29 02:30:00"}},
      {{std::nullopt, 5, std::nullopt}, {"2027-03-27 09:00:00"}},
      {{folder.path().string() + "/./nightly.kiv", std::nullopt, fromCivil({2027, 3, 28, 7, 0, 0})},
       {"2027-03-28 07:00:00", "2027-03-28 15:04:05", "2027-03-29 02:30:00"}},
      {{(folder.path() / "gone.kiv").string(), std::nullopt, std::nullopt}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> ats;
    for (const JournalledLaunch& launch : filteredLaunches(journal, c.filter)) {
      ats.push_back(launch.launch.at);
    }
    EXPECT_EQ(ats, c.ats);
  }
}

TEST_F(HistoryTest, JsonIsAnArrayOfLaunchesWithTheirOutcomes) {
  fillJournal();
  const Shown shown = history({nightly.string(), 3, std::nullopt}, true);
  EXPECT_EQ(shown.status, 0);
  const auto parsed = testing::parseJson(shown.out);
  ASSERT_TRUE(parsed) << shown.out;
  const nlohmann::json::array_t& launches = parsed->get_ref<const nlohmann::json::array_t&>();
  ASSERT_EQ(launches.size(), 3U);

  const nlohmann::json& madeUp = launches[1];
  EXPECT_EQ(madeUp.at("at").get<std::string>(), "2027-03-28 03:00:00");
  EXPECT_EQ(madeUp.at("dueAt").get<std::string>(), "2027-03-28 02:30:00");
  EXPECT_EQ(madeUp.at("schedule").get<std::string>(), nightly.string());
  EXPECT_EQ(madeUp.at("task").get<std::int64_t>(), 3);
  EXPECT_EQ(madeUp.at("taskName").get<std::string>(), "Nightly compact");
  EXPECT_EQ(madeUp.at("how").get<std::string>(), "afterSkippedHour");
  EXPECT_EQ(madeUp.at("commandLine").get<std::string>(),
            R"("C:\Office\MSACCESS.EXE" /pwd ******** /compact)");
  EXPECT_EQ(madeUp.at("result").get<std::string>(), "started");
  EXPECT_EQ(madeUp.at("pid").get<std::int64_t>(), 43);
  EXPECT_TRUE(madeUp.at("reason").is_null());
  EXPECT_EQ(madeUp.at("outcome").at("kind").get<std::string>(), "signalled");
  EXPECT_EQ(madeUp.at("outcome").at("signal").get<std::int64_t>(), 9);
  EXPECT_EQ(madeUp.at("outcome").at("durationMs").get<std::int64_t>(), 200'000);

  EXPECT_EQ(launches[0].at("outcome").at("exitStatus").get<std::int64_t>(), 0);
  EXPECT_TRUE(launches[0].at("dueAt").is_null());
  EXPECT_TRUE(launches[2].at("outcome").is_null());

  const auto missed = testing::parseJson(history({nightly.string(), 4, std::nullopt}, true).out);
  ASSERT_TRUE(missed);
  const nlohmann::json& first = missed->at(0);
  EXPECT_EQ(first.at("how").get<std::string>(), "missed");
  EXPECT_EQ(first.at("result").get<std::string>(), "notStarted");
  EXPECT_EQ(first.at("reason").get<std::string>(), "the clock moved on");
  EXPECT_TRUE(first.at("pid").is_null());
  EXPECT_TRUE(first.at("outcome").is_null());
}

TEST_F(HistoryTest, AnEmptyJournalIsAnEmptyHistoryAndAnUnreadableOneAFailure) {
  EXPECT_EQ(history({}, true).out, "[]\n");
  EXPECT_EQ(history({}, false).out, "at  task  name  how  result  outcome  schedule\n");

  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(historyCommand({}, {}, JournalUnreadable{"Permission denied: /x"}, out, err), 1);
  EXPECT_EQ(err.str(), "kivctl: the launch journal cannot be read: Permission denied: /x\n");
  EXPECT_EQ(out.str(), "");
}

// Long names, a long reason and names outside ASCII, over two schedules.
class FittedHistoryTest : public HistoryTest {
 protected:
  void SetUp() override {
    HistoryTest::SetUp();
    LaunchRecord compact =
        launch("2027-03-27 02:30:00", 3, LaunchHow::Scheduled, 41, "/srv/kiv/orders nightly.kiv");
    compact.taskName = "Nightly compact of the orders database";
    add(compact);
    end(compact, {ProgramOutcome::Kind::Exited, 0, milliseconds{12'300}});
    LaunchRecord busy =
        launch("2027-03-28 07:00:00", 12, LaunchHow::Scheduled, std::nullopt, compact.schedule);
    busy.taskName = "Überprüfung der Lagerbestände";
    busy.reason =
        "database busy: Task 3 (Nightly compact of the orders database) is still running on it "
        "after a wait of 1 h 0 min";
    add(busy);
    LaunchRecord copy = launch("2027-03-28 15:04:05", 4, LaunchHow::OnDemand, 4242,
                               "/srv/kiv/倉庫/日次バックアップの予定.kiv");
    copy.taskName = "日次バックアップ";
    add(copy);
  }

  std::string table(const HistoryFilter& filter, std::optional<std::size_t> width) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(historyCommand(filter, {false, width}, journal, out, err), 0);
    EXPECT_EQ(err.str(), "");
    return out.str();
  }
};

// Fitting leaves out how a launch came about first, then wraps the names,
// outcomes and schedules between words (counting characters, not bytes),
// then leaves out the names and the schedules. The time, the task and the
// result are never cut, even where they alone are wider than the console.
TEST_F(FittedHistoryTest, TheTableFitsTheConsoleWidth) {
  const HistoryFilter everySchedule;
  const HistoryFilter oneSchedule{"/srv/kiv/orders nightly.kiv", std::nullopt, std::nullopt};
  struct Case {
    const HistoryFilter& filter;
    std::optional<std::size_t> width;
    std::string shown;
  };
  // Each table follows the line break that opens its text.
  const std::vector<Case> cases{
      {everySchedule, std::nullopt, R"(
at                   task  name                                    how        result             outcome                                                                                                          schedule
2027-03-27 02:30:00  3     Nightly compact of the orders database  scheduled  started, pid 41    exit status 0 after 12.3 s                                                                                       /srv/kiv/orders nightly.kiv
2027-03-28 07:00:00  12    Überprüfung der Lagerbestände           scheduled  not started        database busy: Task 3 (Nightly compact of the orders database) is still running on it after a wait of 1 h 0 min  /srv/kiv/orders nightly.kiv
2027-03-28 15:04:05  4     日次バックアップ                                onDemand   started, pid 4242  -                                                                                                                /srv/kiv/倉庫/日次バックアップの予定.kiv
)"},
      {everySchedule, 120, R"(
at                   task  name                     result             outcome                   schedule
2027-03-27 02:30:00  3     Nightly compact of the   started, pid 41    exit status 0 after 12.3  /srv/kiv/orders
                           orders database                             s                         nightly.kiv
2027-03-28 07:00:00  12    Überprüfung der          not started        database busy: Task 3     /srv/kiv/orders
                           Lagerbestände                               (Nightly compact of the   nightly.kiv
                                                                       orders database) is
                                                                       still running on it
                                                                       after a wait of 1 h 0
                                                                       min
2027-03-28 15:04:05  4     日次バックアップ                 started, pid 4242  -                         /srv/kiv/倉庫/日次バックアップの予定
                                                                                                 .kiv
)"},
      {everySchedule, 80, R"(
at                   task  result             outcome           schedule
2027-03-27 02:30:00  3     started, pid 41    exit status 0     /srv/kiv/orders
                                              after 12.3 s      nightly.kiv
2027-03-28 07:00:00  12    not started        database busy:    /srv/kiv/orders
                                              Task 3 (Nightly   nightly.kiv
                                              compact of the
                                              orders database)
                                              is still running
                                              on it after a
                                              wait of 1 h 0
                                              min
2027-03-28 15:04:05  4     started, pid 4242  -                 /srv/kiv/倉庫/日次バッ
                                                                クアップの予定.kiv
)"},
      {oneSchedule, 80, R"(
at                   task  name               result           outcome
2027-03-27 02:30:00  3     Nightly compact    started, pid 41  exit status 0
                           of the orders                       after 12.3 s
                           database
2027-03-28 07:00:00  12    Überprüfung der    not started      database busy:
                           Lagerbestände                       Task 3 (Nightly
                                                               compact of the
                                                               orders database)
                                                               is still running
                                                               on it after a
                                                               wait of 1 h 0 min
)"},
      {everySchedule, 40, R"(
at                   task  result             outcome
2027-03-27 02:30:00  3     started, pid 41    exit status
                                              0 after 12.3
                                              s
2027-03-28 07:00:00  12    not started        database
                                              busy: Task 3
                                              (Nightly
                                              compact of
                                              the orders
                                              database) is
                                              still
                                              running on
                                              it after a
                                              wait of 1 h
                                              0 min
2027-03-28 15:04:05  4     started, pid 4242  -
)"},
  };
  for (const Case& c : cases) {
    const std::string shown = table(c.filter, c.width);
    EXPECT_EQ(shown, c.shown.substr(1)) << "width " << c.width.value_or(0) << ":\n" << shown;
  }
}

TEST_F(HistoryTest, ListShowsEachTasksLastLaunchOfThatScheduleOnly) {
  fillJournal();
  const std::optional<Schedule> schedule = loadSchedule(nightly.string(), std::cerr);
  ASSERT_TRUE(schedule);

  std::ostringstream json;
  writeTaskList(*schedule, nightly.string(), {true, false, journal}, json);
  const auto listing = testing::parseJson(json.str());
  ASSERT_TRUE(listing) << json.str();
  const nlohmann::json::array_t& tasks =
      listing->at("tasks").get_ref<const nlohmann::json::array_t&>();
  EXPECT_EQ(tasks[2].at("lastLaunch").at("at").get<std::string>(), "2027-03-29 02:30:00");
  EXPECT_EQ(tasks[3].at("lastLaunch").at("how").get<std::string>(), "onDemand");
  EXPECT_EQ(tasks[4].get_ref<const nlohmann::json::object_t&>().count("lastLaunch"),
            0U);  // task 5 ran for another schedule
  EXPECT_EQ(tasks[0].get_ref<const nlohmann::json::object_t&>().count("lastLaunch"), 0U);

  std::ostringstream text;
  writeTaskList(*schedule, nightly.string(), {false, false, journal}, text);
  EXPECT_NE(
      text.str().find("  lastLaunch            2027-03-29 02:30:00 (scheduled): started, pid 44\n"
                      "  lastOutcome           -\n"),
      std::string::npos)
      << text.str();
  EXPECT_NE(text.str().find("  lastLaunch            2027-03-28 15:04:05 (onDemand): started\n"),
            std::string::npos);
}

}  // namespace
}  // namespace kiv::ctl
