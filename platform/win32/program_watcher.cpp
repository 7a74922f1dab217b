#include "program_watcher.h"

#include <cstdint>

#include "process_start.h"

namespace kiv {
namespace {

// Windows' codes of 0x80000000 and above become the negative numbers
// %ERRORLEVEL% shows.
ProgramOutcome exitOutcome(DWORD exitCode, std::chrono::steady_clock::duration ran) {
  return {ProgramOutcome::Kind::Exited, static_cast<int>(static_cast<std::int32_t>(exitCode)),
          std::chrono::duration_cast<std::chrono::milliseconds>(ran)};
}

}  // namespace

ProgramWatcher::~ProgramWatcher() {
  for (const Watched& program : watched_) CloseHandle(program.process);
}

StartResult ProgramWatcher::start(const std::string& commandLine) {
  const Result<StartedProcess, std::string> started = startMinimised(commandLine);
  if (!started) return started.error();
  const StartedProcess& process = started.value();
  watched_.push_back({process.handle, process.id, std::chrono::steady_clock::now()});
  return StartedProgram{ProcessId{process.id}};
}

std::vector<ProgramEnding> ProgramWatcher::collectEnded() {
  std::vector<ProgramEnding> endings;
  const auto now = std::chrono::steady_clock::now();
  std::erase_if(watched_, [&](const Watched& program) {
    // The handle is this watcher's own: signalled once the program has ended.
    if (WaitForSingleObject(program.process, 0) != WAIT_OBJECT_0) return false;
    DWORD exitCode = 0;
    GetExitCodeProcess(program.process, &exitCode);
    CloseHandle(program.process);
    endings.push_back({program.pid, exitOutcome(exitCode, now - program.started)});
    return true;
  });
  return endings;
}

}  // namespace kiv
