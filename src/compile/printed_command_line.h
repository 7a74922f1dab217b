#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "compile/command_line.h"
#include "tasks/task.h"

namespace kiv {

// What stands in a password's place wherever a password is shown or kept
// outside the schedule file: kivctl's listings and the launch journal.
inline constexpr std::string_view kPasswordMask = "********";

// The password as printed: the mask unless `show`; an empty password stays
// empty, since it is no secret that there is none.
std::string printedPassword(const std::string& password, bool show);

// The command line that showing `task` composes, for a compiled task that
// passes validation; nullopt for any other. The password in it is printed as
// printedPassword prints it.
std::optional<std::string> printedCommandLine(const Task& task, bool showPassword);

}  // namespace kiv
