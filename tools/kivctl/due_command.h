#pragma once

#include <chrono>
#include <ostream>
#include <string>

namespace kiv::ctl {

// "kivctl due FILE --task N [--then-run]": whether the day pattern of the
// compiled task N lets it launch on `today`, the local date, said on
// standard output. With `thenRun`, a task whose pattern allows the day is
// started once, as "kivctl run" starts a launch, and watched until its
// program ends (at the latest at its time limit), the launch and the end
// journalled; on any other day nothing is started. The exit status is a failure when the
// schedule cannot be read, the task is not compiled, or its program could
// not be started.
int dueCommand(const std::string& file, int task, bool thenRun, std::chrono::local_days today,
               std::ostream& out, std::ostream& err);

}  // namespace kiv::ctl
