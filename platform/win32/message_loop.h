#pragma once

#include "form_window.h"

namespace kiv {

// One message as the program's loop handles it: the window sees it first for
// its menu shortcuts and dialog keys, then it is translated and dispatched.
void handleMessage(const FormWindow& window, MSG& message);

// The program's message loop, until the message queue is told to quit.
int runMessageLoop(const FormWindow& window);

}  // namespace kiv
