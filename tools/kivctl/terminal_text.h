#pragma once

#include <string>
#include <string_view>

namespace kiv::ctl {

// `text` as kivctl shows it in text output: each control character escaped
// (\e, \n, \r, \t, and \xNN for the others and DEL), so that a task name or
// a path can neither split a line nor send the terminal a command.
// Backslashes stay as they are: Windows paths are full of them. JSON output
// keeps texts exact instead.
std::string shownOnTerminal(std::string_view text);

}  // namespace kiv::ctl
