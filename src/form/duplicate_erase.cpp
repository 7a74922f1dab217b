#include <string>

#include "base/identity.h"
#include "form/main_form.h"
#include "tasks/task_number_entry.h"

namespace kiv {
namespace {

std::string duplicatePrompt(int taskNumber) {
  const std::string number = std::to_string(taskNumber);
  return "Enter the task number to copy task " + number + " to.\r\n\r\n" +
         "Permissable values are 1 to 30, excluding " + number + ".";
}

// Every stored field but the password, which is never duplicated.
void copyTaskWithoutPassword(const Task& source, Task& destination) {
  std::string commandLine = std::move(destination.CommandLine);
  destination = source;
  destination.Password.clear();
  destination.CommandLine = std::move(commandLine);
}

}  // namespace

void MainForm::mnuErase_Click() {
  const int task = cmbTask.listIndex();
  if (task < 0) return;
  if (ask("Are you sure you want to erase task " + std::to_string(task + 1) + "?",
          MessageButtons::YesNo) != MessageAnswer::Yes) {
    return;
  }
  fctnClearTask(task);
  // The question may have let a scheduled launch switch the window to another
  // task: show whichever task is selected now.
  cmbTask_Click();
  fctnChange(true);
}

void MainForm::mnuDuplicate_Click() {
  const int source = cmbTask.listIndex();
  if (source < 0) return;
  const std::string sourceNumber = std::to_string(source + 1);

  int destination = -1;
  while (destination < 0) {
    const std::string entry =
        platform_.inputBox(duplicatePrompt(source + 1), std::string(identity::kTitle));
    if (entry.empty()) return;
    const auto index = taskIndexFromEntry(entry);
    if (!index) {
      tell("You must enter a number between 1 and 30.", MessageIcon::Exclamation);
      continue;
    }
    if (*index == source) {
      tell("You cannot copy a task to itself; please enter another number.",
           MessageIcon::Exclamation);
      continue;
    }
    const MessageAnswer answer =
        ask("Are you sure you want to copy task " + sourceNumber + " to task " + entry +
                "? This will overwrite the existing task " + entry + ".",
            MessageButtons::YesNoCancel);
    if (answer == MessageAnswer::Cancel) return;
    if (answer == MessageAnswer::Yes) destination = *index;
  }

  copyTaskWithoutPassword(tasks.at(source), tasks.at(destination));
  cmbTask.setListIndex(destination);
  fctnChange(true);

  if (!tasks.at(source).Password.empty()) {
    tasks.at(destination).Compiled = 0;
    if (cmbTask.listIndex() == destination && !Check1.enabled()) cmdCompile_Click();
    setFocus(TBox[kPasswordBox]);
    tell("For security reasons, the password is not duplicated; please re-enter it.",
         MessageIcon::Exclamation);
  }
}

}  // namespace kiv
