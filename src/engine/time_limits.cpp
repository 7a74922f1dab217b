#include "engine/scheduler.h"

namespace kiv {

// Asked once, made once: the program's end is reported by its starter like
// any other, and journalled as timed out then.
void Scheduler::endOverduePrograms(std::chrono::sys_seconds now) {
  for (auto& [pid, program] : running_) {
    if (!program.timeLimit) continue;
    if (!program.endingSince) {
      if (now - program.startedAt < *program.timeLimit) continue;
      program.endingSince = now;
      ports_.starter.endProgram(pid, Ending::Gracefully);
    } else if (!program.forced && now - *program.endingSince >= kEndingGracePeriod) {
      program.forced = true;
      ports_.starter.endProgram(pid, Ending::Forcibly);
    }
  }
}

}  // namespace kiv
