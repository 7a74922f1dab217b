#include "base/identity.h"
#include "form/main_form.h"
#include "scheduler/day_rules.h"
#include "scheduler/due.h"
#include "scheduler/last_launch_status.h"
#include "shell/tray_tip.h"

namespace kiv {

// Runs about once a second, aimed just past each second boundary. Every clock
// second is examined once: a late tick also examines the seconds it skipped,
// and a clock set back does not examine seconds again.
void MainForm::Timer1_Timer() {
  const LocalTime reading = platform_.now();
  KIV.setCaption(std::string(identity::kTitle) + " - " + platform_.generalDateTime(reading));
  for (const LocalTime second : secondCursor_.advance(reading)) {
    for (int index = 0; index < kTaskCount; ++index) {
      if (!examineTask(index, second)) return;
    }
  }
}

bool MainForm::examineTask(int index, LocalTime second) {
  const Task& task = tasks.at(index);
  if (task.Compiled != 1) return true;
  if (isDue(task.LaunchAt, second) != DueVerdict::Due) return true;
  const int RunToday =
      dayRuleAllows(task.DaysToRunOn, std::chrono::floor<std::chrono::days>(second));
  if (RunToday != 1) return true;
  return launchScheduled(index);
}

// Any failure skips the task silently for this tick; the tick goes on.
bool MainForm::launchScheduled(int index) {
  // Selecting the task shows it, which recomposes its command line.
  cmbTask.setListIndex(index);
  setTrayTip(tray.TrayData, launchStatus(index, platform_.now(), true));
  const std::string& commandLine = tasks.at(index).CommandLine;
  if (commandLine.empty() || !platform_.startProcess(commandLine).started) return true;
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
