#pragma once

#include "windows_api.h"

#include <functional>
#include <optional>

#include "shell/task_options_question.h"

namespace kiv {

// The Options dialog of one task over `owner`: the minutes to wait for a busy
// database, a time limit and a catch-up window, each switched on by its check
// box, the copies of the database to keep and their folder. Returns the
// options shown when OK (Enter) ends it, nothing when Cancel (Esc) does; OK
// refuses a number out of its range and a folder the request's judge finds
// the schedule file cannot hold, saying why. Help and F1 call `showHelp`. A
// locked request shows the options greyed, with only Close and Help, and
// returns nothing.
std::optional<TaskOptions> showTaskOptionsDialog(HINSTANCE instance, HWND owner,
                                                 const TaskOptionsRequest& request,
                                                 const std::function<void()>& showHelp);

}  // namespace kiv
