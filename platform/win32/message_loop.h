#pragma once

#include "form_window.h"

namespace kiv {

// The program's message loop, until the message queue is told to quit. The
// window sees each message first for its menu shortcuts and dialog keys.
int runMessageLoop(const FormWindow& window);

}  // namespace kiv
