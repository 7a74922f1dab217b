#pragma once

#include <ostream>
#include <string_view>

#include "terminal_text.h"

namespace kiv::ctl {

// POSIX exit statuses: success, a failure (a file that cannot be read or
// written, problems found), bad usage.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// One line on standard error, named after the program, so a script's log
// shows who complained; a name in it cannot split it.
inline void reportError(std::ostream& err, std::string_view message) {
  err << "kivctl: " << shownOnTerminal(message) << '\n' << std::flush;
}

}  // namespace kiv::ctl
