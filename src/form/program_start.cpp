#include "compile/command_line.h"
#include "form/main_form.h"

namespace kiv {

// Showing a task composes its command line, so a task shown just before has
// one unless compiling refused it; it is then not started, and the reason
// given is the one compiling gave.
StartResult MainForm::startTaskProgram(int index) {
  const Task& task = tasks.at(index);
  // A copy: the platform call may run a nested event loop that edits the task.
  const std::string commandLine = task.CommandLine;
  if (!commandLine.empty()) return platform_.startProcess(commandLine);
  const auto failure = validateForCompile(compileInputsFor(task));
  return {false, std::string(failure ? failure->message : kNoCommandLine), std::nullopt};
}

}  // namespace kiv
