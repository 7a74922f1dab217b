#include "form/main_form.h"
#include "shell/tray_tip.h"

namespace kiv {

// Starts the shown task's command line as it stands, whatever its time, day
// pattern or close-after-running setting.
void MainForm::cmdRun_Click() {
  const LocalTime now = platform_.now();
  if (cmbTask.listIndex() < 0) return;
  setTrayTip(tray.TrayData, launchStatus(cmbTask.listIndex(), now, false));

  const int index = cmbTask.listIndex();
  const StartResult result = startTaskProgram(index);
  journalLaunch(index, {LaunchHow::OnDemand, now, std::nullopt}, result);
  if (!result.started) {
    tell("Task " + std::to_string(index + 1) + " could not be started: " + result.error,
         MessageIcon::Exclamation);
    return;
  }
  tray.modify();
}

void MainForm::mnuRun_Click() {
  cmdRun_Click();
}

}  // namespace kiv
