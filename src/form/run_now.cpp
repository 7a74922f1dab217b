#include "form/main_form.h"

namespace kiv {

// Starts the shown task's command line as it stands, whatever its time, day
// pattern or close-after-running setting. While a program Kiv started still
// runs on the task's database, the user is asked first: No, the default,
// starts nothing.
void MainForm::cmdRun_Click() {
  const int index = cmbTask.listIndex();
  if (index < 0) return;
  if (const RunningProgram* user = scheduler_.programUsingDatabaseOf(index)) {
    const std::string question = taskSubject(user->taskIndex + 1, user->taskName) +
                                 " is still running on the database of task " +
                                 std::to_string(index + 1) + ". Start another copy anyway?";
    if (ask(question, MessageButtons::YesNo, MessageAnswer::No) != MessageAnswer::Yes) return;
  }
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
