#include "engine/launch_metrics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiv {
namespace {

using std::chrono::milliseconds;
using std::chrono::sys_seconds;

constexpr sys_seconds kAt{std::chrono::seconds{1'800'000'000}};

LaunchRecord launch(std::string schedule, int task, std::string name, LaunchHow how, bool started) {
  LaunchRecord record;
  record.at = "2027-01-15 09:00:00";
  record.schedule = std::move(schedule);
  record.task = task;
  record.taskName = std::move(name);
  record.how = how;
  record.started = started;
  return record;
}

EndedRecord ended(int task, ProgramOutcome outcome) {
  return {"2027-01-15 09:00:00", "/srv/a.kiv", task, 7, outcome, {}, {}};
}

TEST(LaunchMetrics, EachRecordCountsWhereItBelongs) {
  struct Case {
    const char* what;
    std::vector<LaunchRecord> launches;
    std::vector<EndedRecord> ends;
    TaskMetrics expected;
  };
  const auto started = launch("/srv/a.kiv", 2, "Backup", LaunchHow::Scheduled, true);
  const auto refused = launch("/srv/a.kiv", 2, "Backup", LaunchHow::OnDemand, false);
  const auto missed = launch("/srv/a.kiv", 2, "Backup", LaunchHow::Missed, false);
  const ProgramOutcome exit0{ProgramOutcome::Kind::Exited, 0, milliseconds{1500}};
  const ProgramOutcome exit3{ProgramOutcome::Kind::Exited, 3, milliseconds{250}};
  const ProgramOutcome signal9{ProgramOutcome::Kind::Signalled, 9, milliseconds{20}};
  const std::vector<Case> cases = {
      {"a start", {started}, {}, {"Backup", kAt, {}, {}, {}, 1, 0, 0}},
      {"not started", {refused}, {}, {"Backup", {}, {}, {}, {}, 0, 1, 0}},
      {"missed", {missed, missed}, {}, {"Backup", {}, {}, {}, {}, 0, 0, 2}},
      {"exit 0",
       {started},
       {ended(2, exit0)},
       {"Backup", kAt, kAt, 0, milliseconds{1500}, 1, 0, 0}},
      {"exit 3 fails",
       {started},
       {ended(2, exit3)},
       {"Backup", kAt, kAt, 3, milliseconds{250}, 1, 1, 0}},
      {"a signal fails and leaves no exit status",
       {started, started},
       {ended(2, exit3), ended(2, signal9)},
       {"Backup", kAt, kAt, {}, milliseconds{20}, 2, 2, 0}},
      {"Kiv ending first tells nothing",
       {started},
       {ended(2, {})},
       {"Backup", kAt, {}, {}, {}, 1, 0, 0}},
  };
  for (const Case& c : cases) {
    LaunchMetrics metrics;
    for (const LaunchRecord& record : c.launches) metrics.count(record, kAt);
    for (const EndedRecord& record : c.ends) metrics.count(record, kAt);
    ASSERT_EQ(metrics.tasks().size(), 1U) << c.what;
    EXPECT_EQ(metrics.tasks().begin()->first, (std::pair<std::string, int>{"/srv/a.kiv", 2}))
        << c.what;
    EXPECT_EQ(metrics.tasks().begin()->second, c.expected) << c.what;
  }
}

TEST(LaunchMetrics, TheExpositionHasEveryMetricWithItsHelpTypeAndEscapedLabels) {
  LaunchMetrics metrics;
  metrics.count(launch("/srv/a.kiv", 2, "Backup", LaunchHow::Scheduled, true), kAt);
  metrics.count(ended(2, {ProgramOutcome::Kind::Exited, 0, milliseconds{1500}}),
                kAt + std::chrono::seconds{2});
  metrics.count(launch(R"(C:\Data\"q".kiv)", 30, "Line\nbreak", LaunchHow::Missed, false), kAt);

  const std::string a = R"({schedule="/srv/a.kiv",task="2",name="Backup"})";
  const std::string b = R"({schedule="C:\\Data\\\"q\".kiv",task="30",name="Line\nbreak"})";
  EXPECT_EQ(
      metricsExposition(metrics, kAt + std::chrono::seconds{3}),
      "# HELP kiv_last_start_timestamp_seconds When the task's program last started, in "
      "Unix time.\n"
      "# TYPE kiv_last_start_timestamp_seconds gauge\n"
      "kiv_last_start_timestamp_seconds" +
          a +
          " 1800000000\n"
          "# HELP kiv_last_end_timestamp_seconds When the task's program last ended, in Unix "
          "time.\n"
          "# TYPE kiv_last_end_timestamp_seconds gauge\n"
          "kiv_last_end_timestamp_seconds" +
          a +
          " 1800000002\n"
          "# HELP kiv_last_exit_status The exit status of the task's program when it last "
          "exited.\n"
          "# TYPE kiv_last_exit_status gauge\n"
          "kiv_last_exit_status" +
          a +
          " 0\n"
          "# HELP kiv_last_duration_seconds How long the task's program ran when it last "
          "ended.\n"
          "# TYPE kiv_last_duration_seconds gauge\n"
          "kiv_last_duration_seconds" +
          a +
          " 1.5\n"
          "# HELP kiv_launches_started_total Launches of the task started since scheduling "
          "began.\n"
          "# TYPE kiv_launches_started_total counter\n"
          "kiv_launches_started_total" +
          a +
          " 1\n"
          "kiv_launches_started_total" +
          b +
          " 0\n"
          "# HELP kiv_launches_failed_total Launches of the task not started, and its programs "
          "that failed, since scheduling began.\n"
          "# TYPE kiv_launches_failed_total counter\n"
          "kiv_launches_failed_total" +
          a +
          " 0\n"
          "kiv_launches_failed_total" +
          b +
          " 0\n"
          "# HELP kiv_launches_missed_total Launches of the task missed since scheduling "
          "began.\n"
          "# TYPE kiv_launches_missed_total counter\n"
          "kiv_launches_missed_total" +
          a +
          " 0\n"
          "kiv_launches_missed_total" +
          b +
          " 1\n"
          "# HELP kiv_metrics_written_timestamp_seconds When Kiv last wrote this file, in Unix "
          "time.\n"
          "# TYPE kiv_metrics_written_timestamp_seconds gauge\n"
          "kiv_metrics_written_timestamp_seconds 1800000003\n");
}

}  // namespace
}  // namespace kiv
