#pragma once

#include "form_window.h"

namespace kiv {

// One message as the program's loop handles it: the window sees it first for
// its menu shortcuts and dialog keys, then it is translated and dispatched.
void handleMessage(const FormWindow& window, MSG& message);

// The program's message loop, until the message queue is told to quit.
// Between messages it also waits on the window's tick timer and runs the tick
// as soon as it is due, ahead of any message.
int runMessageLoop(FormWindow& window);

}  // namespace kiv
