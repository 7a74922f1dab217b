#pragma once

#include "windows_api.h"

#include <string>

#include "base/result.h"
#include "unique_handle.h"

namespace kiv {

// A started program: its process handle, for whoever watches the program,
// its process id, and the job object that holds it and every process it
// starts (none when the system refused to put it in one).
struct StartedProcess {
  UniqueHandle handle;
  DWORD id = 0;
  UniqueHandle job;
};

// Starts a Windows command line exactly as it stands (CreateProcessW, so a
// Unicode program receives every character), its window minimised
// (STARTF_USESHOWWINDOW with SW_SHOWMINIMIZED), and returns at once without
// waiting: the thread handle is closed, the process handle kept for whoever
// watches the program. The program is put in a job object of its own before
// it runs, so the programs it starts can be ended with it; the job does not
// end them when its handle closes, so they outlive Kiv. A failure comes back with the system's
// description, naming the program; a line holding a NUL character is never started, since the
// system would start only the part before it (kCommandLineHoldsNul).
Result<StartedProcess, std::string> startMinimised(const std::string& commandLine);

}  // namespace kiv
