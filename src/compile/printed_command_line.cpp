#include "compile/printed_command_line.h"

namespace kiv {

std::string printedPassword(const std::string& password, bool show) {
  return show || password.empty() ? password : std::string(kPasswordMask);
}

std::optional<std::string> printedCommandLine(const Task& task, bool showPassword) {
  CompileInputs inputs = compileInputsFor(task);
  if (task.Compiled != 1 || !validateForCompile(inputs)) return std::nullopt;
  // Composed with the mask in the password's place, so no other part of the
  // line that happens to hold the same text is touched.
  inputs.password = printedPassword(inputs.password, showPassword);
  return composeCommandLine(inputs);
}

}  // namespace kiv
