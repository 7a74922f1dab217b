#include "app/main_form.h"

namespace kiv {

void MainForm::endProgram() {
  tray.SetTrayIcon(false);
  hook.UnhookWindow();
  platform_.endProcess();
}

}  // namespace kiv
