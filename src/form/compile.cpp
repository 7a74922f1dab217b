#include "compile/command_line.h"
#include "form/main_form.h"

namespace kiv {

namespace {
constexpr std::string_view kCompileCaption = "Co&mpile";
constexpr std::string_view kDecompileCaption = "Deco&mpile";
}  // namespace

// Compiles the shown task when its command line is empty, otherwise
// uncompiles it. The lock state lives in Check1's enabled state.
void MainForm::cmdCompile_Click() {
  Task* task = shownTask();
  if (task == nullptr) return;

  if (task->CommandLine.empty()) {
    const CompileInputs inputs = compileInputsFor(*task);
    if (const auto compilable = validateForCompile(inputs); !compilable) {
      tell(std::string(compilable.error().message), MessageIcon::Exclamation);
      // A box locked or hidden by the shown state cannot take the focus; it
      // then stays where it is.
      TextBox& box = TBox.at(compilable.error().focusBox);
      if (box.enabled() && box.visible()) setFocus(box);
      return;
    }
    lockTaskControls(true);
    task->Compiled = 1;
    task->CommandLine = composeCommandLine(inputs);
    TBox[kLaunchAtBox].setForeColor(kRed);
    mnuCompile.setCaption(std::string(kDecompileCaption));
  } else {
    task->CommandLine.clear();
    lockTaskControls(false);
    task->Compiled = 0;
    TBox[kLaunchAtBox].setForeColor(kBlack);
    mnuCompile.setCaption(std::string(kCompileCaption));
  }
  finishCompileToggle();
}

void MainForm::mnuCompile_Click() {
  cmdCompile_Click();
}

// Everything but the launch time belongs to the lock.
void MainForm::lockTaskControls(bool locked) {
  for (int box = kLaunchAtBox + 1; box < kTextBoxCount; ++box) TBox[box].setEnabled(!locked);
  Check1.setEnabled(!locked);
}

void MainForm::finishCompileToggle() {
  const bool editable = Check1.enabled();
  cmdCompile.setCaption(mnuCompile.caption() + " task");
  cmdRun.setEnabled(!editable);
  mnuRun.setEnabled(cmdRun.enabled());
  for (Control* control : std::initializer_list<Control*>{
           &cmbVer, &cmbAction, &cmbDays, &Check2, &Command1[kBrowseAccessDialog],
           &Command1[kBrowseDatabaseDialog], &Command1[kBrowseSecurityFileDialog]}) {
    control->setEnabled(editable);
  }
  fctnChange(true);
}

}  // namespace kiv
