#include "form/main_form.h"

namespace kiv {

void MainForm::fctnClearTask(int TaskNum) {
  resetStoredFields(tasks.at(TaskNum));
}

// The schedule-changed marker is the enabled state of the Save menu item.
void MainForm::fctnChange(bool Verity) {
  mnuSave.setEnabled(Verity);
}

}  // namespace kiv
