#pragma once

#include "windows_api.h"

#include <functional>
#include <optional>

#include "shell/task_options_question.h"

namespace kiv {

// The Options dialog of one task over `owner`: the minutes to wait for a busy
// database, and a time limit and a catch-up window, each switched on by its
// check box. Returns the options shown when OK (Enter) ends it, nothing when
// Cancel (Esc) does. Help and F1 call `showHelp`. A locked request shows the
// options greyed, with only Close and Help, and returns nothing.
std::optional<TaskOptions> showTaskOptionsDialog(HINSTANCE instance, HWND owner,
                                                 const TaskOptionsRequest& request,
                                                 const std::function<void()>& showHelp);

}  // namespace kiv
