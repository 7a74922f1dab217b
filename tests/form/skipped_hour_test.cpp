// The tick across the 2027 changes of daylight saving, driven by the fake
// clock of a zone: the real rules decide, second by second.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/launch_journal.h"
#include "support/compiled_task.h"
#include "support/form_fixture.h"
#include "support/zone_rules.h"
#include "tasks/value_lists.h"

namespace kiv {
namespace {

using std::chrono::seconds;
using testing::berlin2027;
using testing::compiledTask;
using testing::newYork2027;
using testing::utc;

// What the journal says of one launch: task number, how, at, dueAt.
struct Journalled {
  int task;
  LaunchHow how;
  std::string at;
  std::string dueAt;

  friend bool operator==(const Journalled&, const Journalled&) = default;
};

void PrintTo(const Journalled& j, std::ostream* os) {
  *os << "task " << j.task << " " << launchHowName(j.how) << " at " << j.at;
  if (!j.dueAt.empty()) *os << " (due " << j.dueAt << ")";
}

class SkippedHourTest : public testing::FormTest {
 protected:
  // Ticks once a real second, as a clock of `zone` shows it.
  void tickThrough(const LocalZone& zone, std::chrono::sys_seconds from,
                   std::chrono::sys_seconds to) {
    platform.zone = &zone;
    for (auto instant = from; instant <= to; instant += seconds{1}) {
      platform.setUtc(instant);
      form.Timer1_Timer();
    }
  }

  std::vector<Journalled> journalled() const {
    std::vector<Journalled> launches;
    for (const std::string& line : platform.journalLines) {
      const auto record = parseJournalLine(line);
      if (!record) continue;
      if (const auto* launch = std::get_if<LaunchRecord>(&*record)) {
        launches.push_back({launch->task, launch->how, launch->at, launch->dueAt});
      }
    }
    return launches;
  }
};

constexpr auto kScheduled = LaunchHow::Scheduled;
constexpr auto kAfterSkip = LaunchHow::AfterSkippedHour;
constexpr auto kMissed = LaunchHow::Missed;

TEST_F(SkippedHourTest, BerlinSpringMakesUpAFixedTimeOnceButNoRecurringOne) {
  form.tasks[0] = compiledTask(0, "02:30:00");               // in the hour that never comes
  form.tasks[1] = compiledTask(1, "00:30:?1");               // every hour at half past
  form.tasks[2] = compiledTask(2, "03:00:00");               // the first second after it
  form.tasks[3] = compiledTask(3, "02:15:00", kMondayOnly);  // 28 March 2027 is a Sunday
  form.tasks[4] = compiledTask(4, "02:45:00", kSundayOnly);

  // 01:00 CET to 04:00 CEST: two hours of real time.
  tickThrough(berlin2027(), utc(2027, 3, 28, 0, 0, 0), utc(2027, 3, 28, 2, 0, 0));

  EXPECT_EQ(journalled(), (std::vector<Journalled>{
                              {2, kScheduled, "2027-03-28 01:30:00", ""},
                              {1, kAfterSkip, "2027-03-28 03:00:00", "2027-03-28 02:30:00"},
                              {5, kAfterSkip, "2027-03-28 03:00:00", "2027-03-28 02:45:00"},
                              {3, kScheduled, "2027-03-28 03:00:00", ""},
                              {2, kScheduled, "2027-03-28 03:30:00", ""},
                          }));
  EXPECT_EQ(platform.launches.size(), 5U);
  // The tip says what it always says.
  const std::string& tip = form.tray.TrayData.szTip;
  EXPECT_EQ(tip.substr(0, tip.find_last_not_of(' ') + 1),
            "Last launch: task 2 @ 28-Mar-2027 03:30:00 (scheduled)");
}

TEST_F(SkippedHourTest, NewYorkSpringMakesUpAFixedTimeOnce) {
  form.tasks[6] = compiledTask(6, "02:15:00");
  form.tasks[7] = compiledTask(7, "00:00:?1");

  // 01:00 EST to 04:00 EDT.
  tickThrough(newYork2027(), utc(2027, 3, 14, 6, 0, 0), utc(2027, 3, 14, 8, 0, 0));

  EXPECT_EQ(journalled(), (std::vector<Journalled>{
                              {8, kScheduled, "2027-03-14 01:00:00", ""},
                              {7, kAfterSkip, "2027-03-14 03:00:00", "2027-03-14 02:15:00"},
                              {8, kScheduled, "2027-03-14 03:00:00", ""},
                              {8, kScheduled, "2027-03-14 04:00:00", ""},
                          }));
}

// The hour the end of daylight saving repeats launches once, fixed and
// recurring alike.
struct RepeatedHourCase {
  const LocalZone* zone;
  std::chrono::sys_seconds from;
  std::chrono::sys_seconds to;
  std::string fixed;
  std::vector<Journalled> expected;
};

class RepeatedHourTest : public SkippedHourTest {
 protected:
  void expectOnce(const RepeatedHourCase& c) {
    form.tasks[0] = compiledTask(0, c.fixed);
    form.tasks[1] = compiledTask(1, "00:20:?1");
    tickThrough(*c.zone, c.from, c.to);
    EXPECT_EQ(journalled(), c.expected);
    EXPECT_EQ(platform.launches.size(), c.expected.size());
  }
};

TEST_F(RepeatedHourTest, Berlin) {
  expectOnce({&berlin2027(),
              utc(2027, 10, 30, 23, 0, 0),  // 01:00 CEST
              utc(2027, 10, 31, 2, 45, 0),  // 03:45 CET
              "02:30:00",
              {{2, kScheduled, "2027-10-31 01:20:00", ""},
               {2, kScheduled, "2027-10-31 02:20:00", ""},
               {1, kScheduled, "2027-10-31 02:30:00", ""},
               {2, kScheduled, "2027-10-31 03:20:00", ""}}});
}

TEST_F(RepeatedHourTest, NewYork) {
  expectOnce({&newYork2027(),
              utc(2027, 11, 7, 4, 0, 0),   // 00:00 EDT
              utc(2027, 11, 7, 7, 45, 0),  // 02:45 EST
              "01:30:00",
              {{2, kScheduled, "2027-11-07 00:20:00", ""},
               {2, kScheduled, "2027-11-07 01:20:00", ""},
               {1, kScheduled, "2027-11-07 01:30:00", ""},
               {2, kScheduled, "2027-11-07 02:20:00", ""}}});
}

// A clock set forward (the offset stays) is not made up: every launch due
// in the gap is journalled as missed, and the tick goes on from the reading.
TEST_F(SkippedHourTest, AClockSetForwardIsJournalledAsMissedNotMadeUp) {
  form.tasks[0] = compiledTask(0, "11:00:00");
  form.tasks[1] = compiledTask(1, "00:15:?1");
  form.tasks[2] = compiledTask(2, "13:00:00");
  Task uncompiled = compiledTask(3, "11:30:00");
  uncompiled.Compiled = 0;
  form.tasks[3] = uncompiled;
  platform.clock = fromCivil({2027, 6, 1, 10, 0, 0});
  form.Timer1_Timer();
  platform.clock = fromCivil({2027, 6, 1, 13, 0, 0});
  form.Timer1_Timer();

  EXPECT_EQ(journalled(), (std::vector<Journalled>{
                              {2, kMissed, "2027-06-01 10:15:00", ""},
                              {1, kMissed, "2027-06-01 11:00:00", ""},
                              {2, kMissed, "2027-06-01 11:15:00", ""},
                              {2, kMissed, "2027-06-01 12:15:00", ""},
                              {3, kScheduled, "2027-06-01 13:00:00", ""},
                          }));
  EXPECT_EQ(platform.launches.size(), 1U);
  const auto missed = std::get<LaunchRecord>(*parseJournalLine(platform.journalLines[0]));
  EXPECT_FALSE(missed.started);
  EXPECT_EQ(missed.reason,
            "not made up: the clock moved on from 2027-06-01 10:00:00 to 2027-06-01 13:00:00 "
            "(set forward, or the computer slept)");
  EXPECT_TRUE(platform.notifications.empty());
}

// Asleep across the change: the launch that would have been made up after
// the skipped hour is missed like any other of the gap.
TEST_F(SkippedHourTest, SleepingAcrossTheChangeMissesTheMadeUpLaunch) {
  form.tasks[0] = compiledTask(0, "02:30:00");
  platform.zone = &berlin2027();
  platform.setUtc(utc(2027, 3, 27, 23, 0, 0));  // 00:00 CET
  form.Timer1_Timer();
  platform.setUtc(utc(2027, 3, 28, 5, 0, 0));  // 07:00 CEST
  form.Timer1_Timer();

  EXPECT_EQ(journalled(), (std::vector<Journalled>{
                              {1, kMissed, "2027-03-28 03:00:00", "2027-03-28 02:30:00"},
                          }));
  EXPECT_TRUE(platform.launches.empty());
}

}  // namespace
}  // namespace kiv
