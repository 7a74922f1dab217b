#include "program_watcher.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "process_start.h"

namespace kiv {
namespace {

// Windows' codes of 0x80000000 and above become the negative numbers
// %ERRORLEVEL% shows.
ProgramOutcome exitOutcome(DWORD exitCode, std::chrono::steady_clock::duration ran) {
  return {ProgramOutcome::Kind::Exited, static_cast<int>(static_cast<std::int32_t>(exitCode)),
          std::chrono::duration_cast<std::chrono::milliseconds>(ran)};
}

// Kiv's programs exit with this status when Kiv ends them.
constexpr UINT kEndedExitCode = 1;

BOOL CALLBACK closeWindowOf(HWND window, LPARAM pid) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (static_cast<LPARAM>(owner) == pid) PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

StartResult ProgramWatcher::start(const std::string& commandLine) {
  Result<StartedProcess, std::string> started = startMinimised(commandLine);
  if (!started) return started.error();
  StartedProcess process = std::move(started).value();
  watched_.push_back({std::move(process.handle), process.id, std::chrono::steady_clock::now(),
                      std::move(process.job)});
  return StartedProgram{ProcessId{process.id}};
}

std::vector<ProgramEnding> ProgramWatcher::collectEnded() {
  std::vector<ProgramEnding> endings;
  const auto now = std::chrono::steady_clock::now();
  // A collected program's handle closes as it leaves the list.
  std::erase_if(watched_, [&](const Watched& program) {
    // The handle is this watcher's own: signalled once the program has ended.
    if (WaitForSingleObject(program.process.get(), 0) != WAIT_OBJECT_0) return false;
    if (program.ending && program.job) TerminateJobObject(program.job.get(), kEndedExitCode);
    DWORD exitCode = 0;
    GetExitCodeProcess(program.process.get(), &exitCode);
    endings.push_back({program.pid, exitOutcome(exitCode, now - program.started)});
    return true;
  });
  return endings;
}

void ProgramWatcher::end(ProcessId pid, Ending how) {
  const auto program = std::ranges::find(watched_, pid, &Watched::pid);
  if (program == watched_.end()) return;
  program->ending = true;
  if (how == Ending::Gracefully) {
    EnumWindows(closeWindowOf, static_cast<LPARAM>(pid));
  } else if (program->job) {
    TerminateJobObject(program->job.get(), kEndedExitCode);
  } else {
    TerminateProcess(program->process.get(), kEndedExitCode);
  }
}

}  // namespace kiv
