#include <algorithm>
#include <utility>
#include <vector>

#include "base/identity.h"
#include "form/main_form.h"
#include "scheduler/day_rules.h"
#include "scheduler/due.h"
#include "scheduler/last_launch_status.h"
#include "scheduler/skipped_time.h"
#include "shell/tray_tip.h"

namespace kiv {

// Runs about once a second, aimed just past each second boundary. Every clock
// second is examined once: a late tick also examines the seconds it skipped,
// and a clock set back does not examine seconds again. A fixed launch time in
// the hour that the start of daylight saving skips launches once, at the first
// second after it; launches due while the clock jumped forward are journalled
// as missed, not made up.
void MainForm::Timer1_Timer() {
  const ClockReading reading = platform_.readClock();
  KIV.setCaption(std::string(identity::kTitle) + " - " + platform_.generalDateTime(reading.local));
  const CursorStep step = secondCursor_.advance(reading, platform_.localZone());
  if (!step.missed.empty()) journalMissed(step.missed, reading.local);
  if (!examineSeconds(step.examine)) return;
  if (!step.skipped.empty() && !launchSkipped(step.skipped)) return;
  examineSeconds(step.examineAfterSkip);
}

bool MainForm::examineSeconds(const SecondRange& seconds) {
  for (const LocalTime second : seconds) {
    for (int index = 0; index < kTaskCount; ++index) {
      if (!examineTask(index, second)) return false;
    }
  }
  return true;
}

// The second in progress when scheduling starts is examined at the first
// tick, like any second a late tick skipped.
void MainForm::startScheduling() {
  const ClockReading reading = platform_.readClock();
  secondCursor_.startWithin(reading);
  startedWithin_ = reading.local;
}

bool MainForm::examineTask(int index, LocalTime second) {
  const Task& task = tasks.at(index);
  if (task.Compiled != 1) return true;
  if (isDue(task.LaunchAt, second) != DueVerdict::Due) return true;
  const int RunToday =
      dayRuleAllows(task.DaysToRunOn, std::chrono::floor<std::chrono::days>(second));
  if (RunToday != 1) return true;
  if (mayHaveLaunchedBeforeStart(second) && journalHoldsLaunch(index, second)) return true;
  return launchScheduled(index, {LaunchHow::Scheduled, second, std::nullopt});
}

// A scheduler of the same schedule that ended just before this one started
// (restarted by a supervisor, say) may have launched the tasks due then.
bool MainForm::mayHaveLaunchedBeforeStart(LocalTime second) const {
  return startedWithin_ && second <= *startedWithin_;
}

// The tasks whose fixed launch time lies in the skipped seconds launch now,
// in the order they were due, before anything due at the first second after.
bool MainForm::launchSkipped(const SecondRange& skipped) {
  std::vector<std::pair<LocalTime, int>> due;
  for (int index = 0; index < kTaskCount; ++index) {
    const Task& task = tasks.at(index);
    if (task.Compiled != 1) continue;
    const std::optional<LocalTime> second = fixedLaunchIn(task.LaunchAt, skipped);
    if (second && dayRuleAllows(task.DaysToRunOn, std::chrono::floor<std::chrono::days>(*second))) {
      due.emplace_back(*second, index);
    }
  }
  std::ranges::sort(due);
  const LocalTime firstAfter = skipped.back() + std::chrono::seconds{1};
  for (const auto& [second, index] : due) {
    if (!launchScheduled(index, {LaunchHow::AfterSkippedHour, firstAfter, second})) return false;
  }
  return true;
}

// Any failure skips the task for this tick and the tick goes on; a start
// that fails is journalled and shown as a notification from the icon.
bool MainForm::launchScheduled(int index, const LaunchOccasion& occasion) {
  // Selecting the task shows it, which recomposes its command line.
  cmbTask.setListIndex(index);
  setTrayTip(tray.TrayData, launchStatus(index, platform_.now(), true));
  const StartResult result = startTaskProgram(index);
  journalLaunch(index, occasion, result);
  if (!result.started) {
    notifyUser(taskSubject(index + 1, tasks.at(index).TaskName) +
               " could not be started: " + result.error);
    return true;
  }
  if (Check1.value() == CheckBox::kChecked) {
    endProgram();
    return false;
  }
  tray.modify();
  return true;
}

std::string MainForm::launchStatus(int taskIndex, LocalTime when, bool scheduled) {
  return lastLaunchStatus(taskIndex + 1, when, platform_.monthAbbreviation(toCivil(when).month),
                          scheduled ? LaunchKind::Scheduled : LaunchKind::OnDemand);
}

}  // namespace kiv
