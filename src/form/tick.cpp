#include "base/identity.h"
#include "form/main_form.h"
#include "shell/tray_tip.h"

namespace kiv {

// Runs about once a second, aimed just past each second boundary: the
// caption shows the time, and the scheduler examines the seconds since the
// last tick.
void MainForm::Timer1_Timer() {
  KIV.setCaption(std::string(identity::kTitle) + " - " +
                 platform_.generalDateTime(platform_.now()));
  scheduler_.tick();
}

// A scheduled launch selects its task first, which shows it and composes its
// command line, and puts the launch's status in the icon's tip; Run now
// starts the task already shown.
void MainForm::launchStarting(const LaunchNotice& notice) {
  if (notice.how != LaunchHow::OnDemand) cmbTask.setListIndex(notice.taskIndex);
  setTrayTip(tray.TrayData, notice.status);
}

void MainForm::launchStarted(const LaunchNotice& notice) {
  if (notice.closesScheduler) {
    endProgram();
    return;
  }
  tray.modify();
}

}  // namespace kiv
