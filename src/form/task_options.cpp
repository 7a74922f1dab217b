#include <chrono>
#include <optional>
#include <string>

#include "form/main_form.h"

namespace kiv {
namespace {

// The schedule file holds no other values, so a front-end that let one
// through is not believed.
bool withinRanges(const TaskOptions& options) {
  const bool waitFits =
      options.wait >= std::chrono::minutes::zero() && options.wait <= kLongestWait;
  const bool limitFits = !options.timeLimit || (*options.timeLimit >= kShortestTimeLimit &&
                                                *options.timeLimit <= kLongestTimeLimit);
  const bool catchUpFits = !options.catchUp || (*options.catchUp >= kShortestCatchUp &&
                                                *options.catchUp <= kLongestCatchUp);
  return waitFits && limitFits && catchUpFits;
}

}  // namespace

void MainForm::mnuOptions_Click() {
  const int task = cmbTask.listIndex();
  if (task < 0) return;
  const std::optional<TaskOptions> chosen =
      platform_.taskOptions({"Options of task " + std::to_string(task + 1), tasks.at(task).Options,
                             tasks.at(task).Compiled != 0, mnuOptions.helpContext});
  // The dialog is modal: a tick may have run meanwhile, so the task is read
  // again rather than held across it.
  Task& edited = tasks.at(task);
  if (!chosen || edited.Compiled != 0 || !withinRanges(*chosen) || *chosen == edited.Options) {
    return;
  }
  edited.Options = *chosen;
  fctnChange(true);
}

}  // namespace kiv
