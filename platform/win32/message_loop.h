#pragma once

#include "form_window.h"

namespace kiv {

// The program's message loop, until the message queue is told to quit. The
// window sees each message first for its menu shortcuts and dialog keys.
// Between messages the loop also waits on the window's tick timer and runs
// the tick as soon as it is due, ahead of any message.
int runMessageLoop(FormWindow& window);

}  // namespace kiv
