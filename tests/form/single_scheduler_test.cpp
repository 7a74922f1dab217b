// One scheduler per schedule: the window refuses a schedule another Kiv
// program of the user schedules, and takes over a second start's command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "schedule_file/schedule_file_io.h"
#include "support/compiled_task.h"
#include "support/form_fixture.h"
#include "support/temp_folder.h"

namespace kiv {
namespace {

using testing::TempFolder;

constexpr const char* kHolder = "process 4242 (kivctl)";

class SingleSchedulerTest : public testing::FormTest {
 protected:
  // A schedule file whose task 1 is named `name`.
  std::string scheduleNamed(const std::string& file, const std::string& name) {
    TaskTable tasks;
    tasks[0].TaskName = name;
    const auto path = folder.path() / file;
    EXPECT_TRUE(writeScheduleFile(path, tasks, platform.fileStorage(), platform.ansiCodePage()));
    return path.string();
  }

  void openFromMenu(const std::string& file) {
    platform.fileChoices.push_back({{1, 0}, file});
    form.mnuOpen.press();
  }

  std::string refusal(const std::string& file) const {
    return "'" + file + "' is already being scheduled by " + kHolder +
           ". A schedule can be scheduled by one Kiv program at a time, or each of its tasks "
           "would launch twice.";
  }

  TempFolder folder;
};

TEST_F(SingleSchedulerTest, OpeningAScheduleAnotherProgramSchedulesIsRefused) {
  const std::string mine = scheduleNamed("mine.kiv", "Mine");
  const std::string theirs = scheduleNamed("theirs.kiv", "Theirs");
  platform.heldByOthers[theirs] = kHolder;
  openFromMenu(mine);
  ASSERT_EQ(platform.claimedSchedule, mine);

  openFromMenu(theirs);

  ASSERT_EQ(platform.messages.size(), 1U);
  EXPECT_EQ(platform.messages[0].text, refusal(theirs));
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(form.ScheduleFileName, mine);
  EXPECT_EQ(form.tasks[0].TaskName, "Mine");
  EXPECT_EQ(platform.claimedSchedule, mine);
  EXPECT_FALSE(form.mnuSave.enabled());
}

TEST_F(SingleSchedulerTest, AHeldScheduleNamedOnTheCommandLineLeavesTheWindowUntitled) {
  const std::string theirs = scheduleNamed("theirs.kiv", "Theirs");
  platform.heldByOthers[theirs] = kHolder;
  platform.arguments = "/o " + theirs;

  form.Form_Load();

  ASSERT_EQ(platform.messages.size(), 1U);
  EXPECT_EQ(platform.messages[0].text, refusal(theirs));
  EXPECT_EQ(form.ScheduleFileName, "");
  EXPECT_EQ(form.tasks[0].TaskName, "");
  EXPECT_EQ(platform.claimedSchedule, "");
}

TEST_F(SingleSchedulerTest, SavingOverAHeldScheduleIsRefusedAndWritesNothing) {
  const std::string mine = scheduleNamed("mine.kiv", "Mine");
  const std::string theirs = scheduleNamed("theirs.kiv", "Theirs");
  const auto before = testing::readAll(theirs);
  platform.heldByOthers[theirs] = kHolder;
  openFromMenu(mine);
  form.TBox[kTaskNameBox].setText("Edited");

  platform.fileChoices.push_back({{1, 0}, theirs});
  form.mnuSaveAs.press();

  ASSERT_EQ(platform.messages.size(), 1U);
  EXPECT_EQ(platform.messages[0].text, refusal(theirs));
  EXPECT_EQ(testing::readAll(theirs), before);
  EXPECT_EQ(form.ScheduleFileName, mine);
  EXPECT_EQ(platform.claimedSchedule, mine);
  EXPECT_TRUE(form.mnuSave.enabled());

  // Saved under a free name, the window schedules that file.
  const std::string other = (folder.path() / "other.kiv").string();
  platform.fileChoices.push_back({{1, 0}, other});
  form.mnuSaveAs.press();
  EXPECT_EQ(form.ScheduleFileName, other);
  EXPECT_EQ(platform.claimedSchedule, other);
}

// Saving replaces the file, and with it what the lock is keyed by.
TEST_F(SingleSchedulerTest, SavingClaimsTheScheduleAgain) {
  const std::string mine = scheduleNamed("mine.kiv", "Mine");
  openFromMenu(mine);
  form.TBox[kTaskNameBox].setText("Edited");
  platform.claims.clear();
  platform.answers = {MessageAnswer::Ok};

  form.mnuSave.press();

  EXPECT_EQ(platform.claims, std::vector<std::string>{mine});
  EXPECT_EQ(platform.claimedSchedule, mine);
}

TEST_F(SingleSchedulerTest, ANewScheduleLetsTheOldOneGo) {
  openFromMenu(scheduleNamed("mine.kiv", "Mine"));
  form.mnuNew.press();
  EXPECT_EQ(platform.claimedSchedule, "");
}

TEST_F(SingleSchedulerTest, AHandedOverScheduleOpensAsFromTheMenuAndTheWindowShows) {
  const std::string mine = scheduleNamed("mine.kiv", "Mine");
  const std::string next = scheduleNamed("next.kiv", "Next");  // named relative to the sender
  openFromMenu(mine);
  form.TBox[kTaskNameBox].setText("Edited");
  platform.events.clear();
  platform.answers = {MessageAnswer::No};

  form.commandLineHandedOver("/o next.kiv", folder.path().string());

  EXPECT_EQ(platform.events, (std::vector<std::string>{"message: Save this schedule?", "show"}));
  EXPECT_EQ(form.ScheduleFileName, next);
  EXPECT_EQ(form.tasks[0].TaskName, "Next");
  EXPECT_EQ(platform.claimedSchedule, next);
}

// The running schedule stays loaded, claimed and scheduled, edits and all:
// only a first start, which has none yet, begins untitled.
TEST_F(SingleSchedulerTest, AHandOverThatCannotBeLoadedLeavesTheRunningSchedule) {
  const std::string mine = scheduleNamed("mine.kiv", "Mine");
  openFromMenu(mine);
  form.TBox[kTaskNameBox].setText("Edited");
  platform.events.clear();

  for (const std::string missing : {"/no/such.kiv", "\"/no/such.kiv\"", "."}) {
    form.commandLineHandedOver("/o " + missing, folder.path().string());
  }

  EXPECT_EQ(platform.events,
            (std::vector<std::string>{
                "message: Schedule '/no/such.kiv' could not be loaded; check the path & "
                "filename are valid.",
                "show",
                "message: Schedule '/no/such.kiv' could not be loaded; check the path & "
                "filename are valid.",
                "show",
                "message: Schedule '" + (folder.path() / ".").string() +
                    "' could not be loaded; check the path & filename are valid.",
                "show"}));
  EXPECT_EQ(form.ScheduleFileName, mine);
  EXPECT_EQ(form.tasks[0].TaskName, "Edited");
  EXPECT_TRUE(form.mnuSave.enabled());
  EXPECT_EQ(platform.claimedSchedule, mine);
}

// A command prompt's users quote a path with blanks.
TEST_F(SingleSchedulerTest, AHandedOverPathInQuotesIsThePathWithin) {
  const std::string next = scheduleNamed("next schedule.kiv", "Next");
  form.commandLineHandedOver("/o \"" + next + "\"", "/elsewhere");
  EXPECT_EQ(form.ScheduleFileName, next);
  EXPECT_EQ(form.tasks[0].TaskName, "Next");
}

TEST_F(SingleSchedulerTest, AHandOverWithoutAScheduleOnlyShowsTheWindow) {
  const std::string mine = scheduleNamed("mine.kiv", "Mine");
  openFromMenu(mine);
  platform.events.clear();

  form.commandLineHandedOver("", "/elsewhere");

  EXPECT_EQ(platform.events, std::vector<std::string>{"show"});
  EXPECT_EQ(form.ScheduleFileName, mine);
}

}  // namespace
}  // namespace kiv
