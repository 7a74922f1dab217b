#include "shell/launch_journal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiv {
namespace {

using std::chrono::milliseconds;

LaunchRecord started(std::string at, ProcessId pid, int task = 3) {
  LaunchRecord record;
  record.at = std::move(at);
  record.schedule = "/home/me/nightly.kiv";
  record.task = task;
  record.taskName = "Nightly compact";
  record.commandLine = R"("C:\Office\MSACCESS.EXE" "D:\Orders.mdb" /pwd ******** /compact)";
  record.started = true;
  record.pid = pid;
  return record;
}

EndedRecord ended(const LaunchRecord& launch, ProgramOutcome outcome) {
  return {launch.at, launch.schedule, launch.task, *launch.pid, outcome, {}, {}};
}

TEST(LaunchJournal, ALaunchLineSaysWhatHappened) {
  EXPECT_EQ(journalLine(started("2027-03-28 02:00:00", 4242)),
            R"({"record":"launch","at":"2027-03-28 02:00:00","schedule":"/home/me/nightly.kiv",)"
            R"("task":3,"taskName":"Nightly compact","how":"scheduled","commandLine":)"
            R"("\"C:\\Office\\MSACCESS.EXE\" \"D:\\Orders.mdb\" /pwd ******** /compact",)"
            R"("result":"started","pid":4242})");

  LaunchRecord failed;
  failed.at = "2027-03-28 03:00:00";
  failed.dueAt = "2027-03-28 02:30:00";
  failed.task = 30;
  failed.how = LaunchHow::AfterSkippedHour;
  failed.reason = "No such file or directory: /opt/db/access";
  EXPECT_EQ(journalLine(failed),
            R"({"record":"launch","at":"2027-03-28 03:00:00","schedule":null,"task":30,)"
            R"("dueAt":"2027-03-28 02:30:00","taskName":"","how":"afterSkippedHour",)"
            R"("commandLine":null,"result":"notStarted",)"
            R"("reason":"No such file or directory: /opt/db/access"})");
}

TEST(LaunchJournal, AnEndedLineSaysHowTheProgramEnded) {
  const LaunchRecord launch = started("2027-03-28 02:00:00", 7);
  EXPECT_EQ(journalLine(ended(launch, {ProgramOutcome::Kind::Exited, 2, milliseconds{1500}})),
            R"({"record":"ended","at":"2027-03-28 02:00:00","schedule":"/home/me/nightly.kiv",)"
            R"("task":3,"pid":7,"outcome":"exited","exitStatus":2,"durationMs":1500})");
  EXPECT_EQ(journalLine(ended(launch, {ProgramOutcome::Kind::Signalled, 9, milliseconds{20}})),
            R"({"record":"ended","at":"2027-03-28 02:00:00","schedule":"/home/me/nightly.kiv",)"
            R"("task":3,"pid":7,"outcome":"signalled","signal":9,"durationMs":20})");
  EXPECT_EQ(journalLine(ended(launch, {})),
            R"({"record":"ended","at":"2027-03-28 02:00:00","schedule":"/home/me/nightly.kiv",)"
            R"("task":3,"pid":7,"outcome":"unknown"})");
}

TEST(LaunchJournal, EveryRecordReadsBackAsItWasWritten) {
  LaunchRecord onDemand = started("2027-01-02 15:04:05", 99, 12);
  onDemand.how = LaunchHow::OnDemand;
  onDemand.taskName = "Ωmega \"quoted\"\nname";
  LaunchRecord unknownPid = started("2027-01-02 15:04:06", 1);
  unknownPid.pid.reset();
  LaunchRecord missed;
  missed.at = "2027-01-03 02:00:00";
  missed.how = LaunchHow::Missed;
  missed.reason = "the clock moved on from 2027-01-03 01:00:00 to 2027-01-03 09:00:00";
  const std::vector<JournalRecord> records{
      onDemand,
      unknownPid,
      missed,
      ended(onDemand, {ProgramOutcome::Kind::Exited, 0, milliseconds{61'000}}),
      // A Windows crash status, 0xC0000005.
      ended(onDemand, {ProgramOutcome::Kind::Exited, -1073741819, milliseconds{2500}}),
      ended(onDemand, {ProgramOutcome::Kind::Signalled, 15, std::nullopt}),
      ended(onDemand, {}),
  };
  for (const JournalRecord& record : records) {
    const std::string line = std::visit([](const auto& r) { return journalLine(r); }, record);
    EXPECT_EQ(parseJournalLine(line), record) << line;
  }
}

// An untitled schedule is journalled with a null schedule; earlier versions
// wrote the empty text, which reads as untitled too.
TEST(LaunchJournal, AnUntitledScheduleIsNullAndTheEmptyTextOfOlderLinesReadsSo) {
  const std::string untitled =
      journalLine(EndedRecord{"2027-01-02 15:04:05", "", 4, 77, {}, {}, {}});
  EXPECT_NE(untitled.find(R"("schedule":null,)"), std::string::npos) << untitled;
  for (const std::string& line :
       {untitled, std::string(R"({"record":"ended","at":"2027-01-02 15:04:05","schedule":"",)"
                              R"("task":4,"pid":77,"outcome":"unknown"})")}) {
    const auto record = parseJournalLine(line);
    ASSERT_TRUE(record) << line;
    EXPECT_EQ(std::get<EndedRecord>(*record).schedule, "") << line;
  }
  EXPECT_FALSE(parseJournalLine(
      R"({"record":"ended","at":"2027-01-02 15:04:05","schedule":4,"task":4,"pid":77,"outcome":"unknown"})"));
}

TEST(LaunchJournal, LinesThatHoldNoRecordAreRefused) {
  const char* lines[] = {
      R"({"record":"launch","at":"2027-01-02 15:04:05","schedule":"","task":1,"how":"scheduled")",
      R"({"record":"launch","at":"x","schedule":"","task":1,"how":"later","result":"started"})",
      R"({"record":"launch","at":"x","schedule":"","task":1,"how":"scheduled","result":"maybe"})",
      R"({"record":"launch","schedule":"","task":1,"how":"scheduled","result":"started"})",
      R"({"record":"ended","at":"x","schedule":"","task":1,"outcome":"exited","exitStatus":0})",
      R"({"record":"ended","at":"x","schedule":"","task":1,"pid":2,"outcome":"exited"})",
      R"({"record":"rotated","at":"x","schedule":"","task":1})",
      "not json at all",
      // Numbers no line Kiv writes holds, never cut down to another one.
      R"({"record":"launch","at":"x","schedule":"","task":2147483648,"how":"scheduled","result":"started"})",
      R"({"record":"ended","at":"x","schedule":"","task":1,"pid":2,"outcome":"exited","exitStatus":1099511627776})",
      R"({"record":"ended","at":"x","schedule":"","task":1,"pid":2,"outcome":"exited","exitStatus":-2147483649})",
      R"({"record":"ended","at":"x","schedule":"","task":1,"pid":2,"outcome":"signalled","signal":4294967305})",
  };
  for (const char* line : lines) EXPECT_FALSE(parseJournalLine(line)) << line;
}

TEST(LaunchJournal, OutcomesJoinTheirLaunchEvenWhenAProcessIdComesAgain) {
  const LaunchRecord first = started("2027-01-02 02:00:00", 500);
  const LaunchRecord other = started("2027-01-02 02:00:00", 501, 4);
  const LaunchRecord again = started("2027-01-03 02:00:00", 500);  // the id was reused
  const ProgramOutcome failed{ProgramOutcome::Kind::Exited, 3, milliseconds{900}};
  const ProgramOutcome killed{ProgramOutcome::Kind::Signalled, 9, milliseconds{5}};
  const std::string text = journalLine(first) + "\n" + journalLine(other) + "\n" +
                           "{\"record\":\"launch\",\"at\":\"2027-01-02 02:0" + "\n" +  // cut short
                           journalLine(ended(first, failed)) + "\n" + journalLine(again) + "\n" +
                           journalLine(ended(again, killed)) + "\n" +
                           journalLine(ended(again, failed)) + "\n";  // a second end is ignored

  const std::vector<JournalledLaunch> launches = journalledLaunches(text);

  ASSERT_EQ(launches.size(), 3U);
  EXPECT_EQ(launches[0].launch, first);
  EXPECT_EQ(launches[0].outcome, failed);
  EXPECT_EQ(launches[1].launch, other);
  EXPECT_FALSE(launches[1].outcome);
  EXPECT_EQ(launches[2].launch, again);
  EXPECT_EQ(launches[2].outcome, killed);
}

TEST(LaunchJournal, OutcomeTexts) {
  using Kind = ProgramOutcome::Kind;
  const std::pair<ProgramOutcome, const char*> cases[] = {
      {{Kind::Exited, 0, milliseconds{0}}, "exit status 0 after 0.0 s"},
      {{Kind::Exited, 2, milliseconds{1549}}, "exit status 2 after 1.5 s"},
      {{Kind::Exited, 1, milliseconds{59'999}}, "exit status 1 after 59.9 s"},
      {{Kind::Signalled, 9, milliseconds{200'000}}, "ended by signal 9 after 3 min 20 s"},
      {{Kind::Exited, 0, milliseconds{7'500'000}}, "exit status 0 after 2 h 5 min"},
      {{Kind::Exited, 4, std::nullopt}, "exit status 4"},
      // Windows' statuses of 0x80000000 and above, as %ERRORLEVEL% shows them.
      {{Kind::Exited, -1073741819, milliseconds{3000}},
       "exit status -1073741819 (0xC0000005) after 3.0 s"},
      {{Kind::Exited, -1, std::nullopt}, "exit status -1 (0xFFFFFFFF)"},
      {{}, "outcome unknown: Kiv ended first"},
  };
  for (const auto& [outcome, text] : cases) EXPECT_EQ(outcome.text(), text);
  EXPECT_FALSE((ProgramOutcome{Kind::Exited, 0, std::nullopt}.failed()));
  EXPECT_TRUE((ProgramOutcome{Kind::Exited, 1, std::nullopt}.failed()));
  EXPECT_TRUE((ProgramOutcome{Kind::Signalled, 15, std::nullopt}.failed()));
  EXPECT_FALSE(ProgramOutcome{}.failed());
}

}  // namespace
}  // namespace kiv
