#include "form/main_form.h"
#include "scheduler/launch_time_check.h"

namespace kiv {

// Leaving the launch-time box with a time the scheduler cannot use says so
// and puts the focus back. The text stays as typed: it is already stored.
void MainForm::TBox_LostFocus(int Index) {
  if (Index != kLaunchAtBox) return;
  const auto problem = checkLaunchTime(TBox[kLaunchAtBox].text());
  if (!problem) return;
  tell(std::string(*problem), MessageIcon::Exclamation);
  setFocus(TBox[kLaunchAtBox]);
}

}  // namespace kiv
