#include "form/main_form.h"

namespace kiv {

// Starts the shown task's command line as it stands, whatever its time, day
// pattern or close-after-running setting.
void MainForm::cmdRun_Click() {
  const int index = cmbTask.listIndex();
  if (index < 0) return;
  const Result<void, std::string> started = scheduler_.runNow(index);
  if (!started) {
    tell("Task " + std::to_string(index + 1) + " could not be started: " + started.error(),
         MessageIcon::Exclamation);
  }
}

void MainForm::mnuRun_Click() {
  cmdRun_Click();
}

}  // namespace kiv
