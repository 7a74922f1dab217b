#include <array>

#include "form/main_form.h"
#include "tasks/value_lists.h"

namespace kiv {
namespace {

// The field each text box of the TBox family edits.
constexpr std::array<std::string Task::*, kTextBoxCount> kBoxFields{
    &Task::LaunchAt,
    &Task::Username,
    &Task::Password,
    &Task::Macro,
    &Task::AccessLocation,
    &Task::DatabaseLocation,
    &Task::SecurityFileLocation,
    &Task::TaskName,
};

}  // namespace

Task* MainForm::shownTask() {
  const int index = cmbTask.listIndex();
  return index < 0 ? nullptr : &tasks.at(index);
}

void MainForm::fctnPopulate(int TaskNum) {
  // A copy: the handlers fired below write each value straight back.
  const Task task = tasks.at(TaskNum);

  TBox[kTaskNameBox].setText(task.TaskName);
  TBox[kLaunchAtBox].setText(task.LaunchAt);
  TBox[kUserNameBox].setText(task.Username);
  TBox[kPasswordBox].setText(task.Password);
  cmbVer.setListIndex(task.Version);
  Lbl1[kSecurityFileLabel].setCaption(std::string(securityFileLabel(task.Version)));
  cmbAction.setListIndex(task.Action);
  showMacroBoxFor(task.Action);
  for (int box : {kMacroBox, kAccessLocationBox, kDatabaseLocationBox, kSecurityFileBox})
    TBox[box].setText(task.*kBoxFields[box]);
  cmbDays.setListIndex(task.DaysToRunOn);
  Check2.setValue(task.OpenExclusively);
  Check1.setValue(task.CloseAfterRunning);

  // The toggle below compiles a task whose command line is empty and
  // uncompiles any other: a stored-as-compiled task is composed afresh.
  tasks.at(TaskNum).CommandLine = task.Compiled == 1 ? "" : "Dum";
  cmdCompile_Click();
}

void MainForm::showMacroBoxFor(int action) {
  const ActionInfo* info = actionInfo(action);
  const bool usesMacro = info != nullptr && info->macroUse != MacroUse::None;
  Lbl1[kMacroLabel].setCaption(std::string(info != nullptr ? info->macroLabel : "Macro"));
  Lbl1[kMacroLabel].setVisible(usesMacro);
  TBox[kMacroBox].setVisible(usesMacro);
}

void MainForm::cmbTask_Click() {
  if (cmbTask.listIndex() >= 0) fctnPopulate(cmbTask.listIndex());
}

void MainForm::TBox_Change(int Index) {
  Task* task = shownTask();
  if (task == nullptr) return;
  task->*kBoxFields.at(Index) = TBox.at(Index).text();
  fctnChange(true);
}

void MainForm::cmbVer_Click() {
  Task* task = shownTask();
  if (task == nullptr || cmbVer.listIndex() < 0) return;
  task->Version = static_cast<std::uint8_t>(cmbVer.listIndex());
  Lbl1[kSecurityFileLabel].setCaption(std::string(securityFileLabel(task->Version)));
  fctnChange(true);
}

void MainForm::cmbAction_Click() {
  Task* task = shownTask();
  if (task == nullptr || cmbAction.listIndex() < 0) return;
  task->Action = static_cast<std::uint8_t>(cmbAction.listIndex());
  showMacroBoxFor(task->Action);
  fctnChange(true);
}

void MainForm::cmbDays_Click() {
  Task* task = shownTask();
  if (task == nullptr || cmbDays.listIndex() < 0) return;
  task->DaysToRunOn = static_cast<std::uint8_t>(cmbDays.listIndex());
  fctnChange(true);
}

void MainForm::Check1_Click() {
  Task* task = shownTask();
  if (task == nullptr) return;
  task->CloseAfterRunning = static_cast<std::uint8_t>(Check1.value());
  fctnChange(true);
}

void MainForm::Check2_Click() {
  Task* task = shownTask();
  if (task == nullptr) return;
  task->OpenExclusively = static_cast<std::uint8_t>(Check2.value());
  fctnChange(true);
}

}  // namespace kiv
