#pragma once

#include <string>

#include "shell/platform.h"

namespace kiv {

// Starts a Windows command line exactly as it stands (CreateProcessW, so a
// Unicode program receives every character), its window minimised
// (STARTF_USESHOWWINDOW with SW_SHOWMINIMIZED), and returns at once: the
// process and thread handles are closed without waiting. A failure comes back
// with the system's description, naming the program.
StartResult startMinimised(const std::string& commandLine);

}  // namespace kiv
