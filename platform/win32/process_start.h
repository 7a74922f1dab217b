#pragma once

#include "windows_api.h"

#include <string>

#include "base/result.h"
#include "unique_handle.h"

namespace kiv {

// A started program: its process handle, for whoever watches the program,
// and its process id.
struct StartedProcess {
  UniqueHandle handle;
  DWORD id = 0;
};

// Starts a Windows command line exactly as it stands (CreateProcessW, so a
// Unicode program receives every character), its window minimised
// (STARTF_USESHOWWINDOW with SW_SHOWMINIMIZED), and returns at once without
// waiting: the thread handle is closed, the process handle kept for whoever
// watches the program. A failure comes back with the system's description,
// naming the program; a line holding a NUL character is never started, since
// the system would start only the part before it (kCommandLineHoldsNul).
Result<StartedProcess, std::string> startMinimised(const std::string& commandLine);

}  // namespace kiv
