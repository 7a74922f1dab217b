#include "process_start.h"

#include "command_arguments.h"
#include "compile/windows_command_line.h"
#include "system_error_text.h"
#include "wide_text.h"

namespace kiv {

Result<StartedProcess, std::string> startMinimised(const std::string& commandLine) {
  // The system would read the line only up to the NUL and start what that part names.
  if (holdsNulCharacter(commandLine)) return std::string(kCommandLineHoldsNul);
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::wstring wide = toWide(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION started{};
  if (CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                     nullptr, &startup, &started) == FALSE) {
    // Only the program is named: the rest of the line may hold a password.
    return systemErrorText(GetLastError(), programName(commandLine));
  }
  const UniqueHandle thread(started.hThread);
  StartedProcess process{UniqueHandle(started.hProcess), started.dwProcessId,
                         UniqueHandle(CreateJobObjectW(nullptr, nullptr))};
  // Without a job the program still runs; only ending it leaves its own
  // programs running.
  if (process.job && AssignProcessToJobObject(process.job.get(), process.handle.get()) == FALSE) {
    process.job = UniqueHandle();
  }
  ResumeThread(thread.get());
  return process;
}

}  // namespace kiv
