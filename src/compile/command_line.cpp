#include "compile/command_line.h"

#include <array>

#include "compile/windows_command_line.h"
#include "tasks/value_lists.h"

namespace kiv {

CompileInputs compileInputsFor(const Task& task) {
  return {.username = task.Username,
          .password = task.Password,
          .macro = task.Macro,
          .accessLocation = task.AccessLocation,
          .databaseLocation = task.DatabaseLocation,
          .securityFileLocation = task.SecurityFileLocation,
          .versionIndex = task.Version,
          .actionIndex = task.Action,
          .exclusive = task.OpenExclusively};
}
namespace {

struct Requirement {
  bool (*missing)(const CompileInputs&);
  CompileFailure failure;
};

bool usesMacroName(int actionIndex) {
  const ActionInfo* action = actionInfo(actionIndex);
  return action != nullptr && action->macroUse == MacroUse::MacroName;
}

bool usesMacroText(int actionIndex) {
  const ActionInfo* action = actionInfo(actionIndex);
  return action != nullptr && action->macroUse != MacroUse::None;
}

constexpr std::array<Requirement, 10> kRequirements{{
    {[](const CompileInputs& in) { return in.username.empty() && !in.password.empty(); },
     {"A username is required.", 1}},
    {[](const CompileInputs& in) { return usesMacroName(in.actionIndex) && in.macro.empty(); },
     {"A macro name is required.", 3}},
    {[](const CompileInputs& in) { return in.accessLocation.empty(); },
     {"The location of Access is required.", 4}},
    {[](const CompileInputs& in) { return in.databaseLocation.empty(); },
     {"The location of the database is required.", 5}},
    // A text holding a NUL character would cut the command line short (see
    // kCommandLineHoldsNul): the program would get another database, or
    // another program would start, than the task shows.
    {[](const CompileInputs& in) { return holdsNulCharacter(in.username); },
     {"The username holds a NUL character, which cannot be passed to a program.", 1}},
    {[](const CompileInputs& in) { return holdsNulCharacter(in.password); },
     {"The password holds a NUL character, which cannot be passed to a program.", 2}},
    {[](const CompileInputs& in) {
       return usesMacroText(in.actionIndex) && holdsNulCharacter(in.macro);
     },
     {"The macro or command holds a NUL character, which cannot be passed to a program.", 3}},
    {[](const CompileInputs& in) { return holdsNulCharacter(in.accessLocation); },
     {"The location of Access holds a NUL character, which cannot be passed to a program.", 4}},
    {[](const CompileInputs& in) { return holdsNulCharacter(in.databaseLocation); },
     {"The location of the database holds a NUL character, which cannot be passed to a "
      "program.",
      5}},
    {[](const CompileInputs& in) { return holdsNulCharacter(in.securityFileLocation); },
     {"The location of the INI or MDW file holds a NUL character, which cannot be passed to a "
      "program.",
      6}},
}};

std::string quoted(const std::string& text) {
  return '"' + text + '"';
}

std::string actionPart(const CompileInputs& in) {
  const ActionInfo* action = actionInfo(in.actionIndex);
  if (action == nullptr) return "";
  std::string part(action->accessSwitch);
  switch (action->macroUse) {
    case MacroUse::None:
      break;
    case MacroUse::MacroName:
      part += quoted(in.macro) + ' ';
      break;
    case MacroUse::CommandText:
      part += in.macro;
      break;
  }
  return part;
}

}  // namespace

Result<void, CompileFailure> validateForCompile(const CompileInputs& inputs) {
  for (const Requirement& requirement : kRequirements) {
    if (requirement.missing(inputs)) return requirement.failure;
  }
  return {};
}

std::string composeCommandLine(const CompileInputs& in) {
  std::string line = quoted(in.accessLocation) + ' ' + quoted(in.databaseLocation);
  if (!in.securityFileLocation.empty()) {
    line +=
        std::string(securitySwitch(in.versionIndex)) + ' ' + quoted(in.securityFileLocation) + ' ';
  }
  if (!in.username.empty()) line += " /user " + in.username;
  if (!in.password.empty()) line += " /pwd " + in.password;
  if (in.exclusive != 0) line += " /excl";
  return line + actionPart(in);
}

}  // namespace kiv
