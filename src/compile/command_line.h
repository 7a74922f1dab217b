#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"
#include "tasks/task.h"

namespace kiv {

// What compilation reads from the window: the shown values, not the table.
struct CompileInputs {
  std::string username;
  std::string password;
  std::string macro;  // macro name or command text
  std::string accessLocation;
  std::string databaseLocation;
  std::string securityFileLocation;
  int versionIndex = -1;  // -1 when the list has no selection
  int actionIndex = -1;
  int exclusive = 0;  // check-box value; anything but 0 opens exclusively
};

// What compilation reads once the window shows `task`: every edit is stored
// into the shown task at once, so the boxes hold its texts, the version and
// action lists its stored indices and the exclusive box its stored value.
CompileInputs compileInputsFor(const Task& task);

struct CompileFailure {
  std::string_view message;
  int focusBox;  // index in the TBox family of the box to correct
};

// Success when the task can be compiled; else the first missing value,
// checked in a fixed order, then the first text the command line would hold
// that holds a NUL character. Empty means no characters at all: blanks count
// as a value.
Result<void, CompileFailure> validateForCompile(const CompileInputs& inputs);

// The database program's command line, texts taken exactly as typed.
std::string composeCommandLine(const CompileInputs& inputs);

}  // namespace kiv
