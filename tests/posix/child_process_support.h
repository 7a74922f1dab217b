#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "posix/child_watcher.h"

namespace kiv::testing {

// Reaps through `children` until none is left, waiting on its descriptor as an
// event loop does; false when a program still runs after `patience`.
bool reapAll(posix::ChildWatcher& children,
             std::chrono::milliseconds patience = std::chrono::seconds{20});

// Runs `check` in a forked child process, for what must not touch the test
// process itself (a sandbox, a mount namespace), and returns what it returned:
// empty when all went well, else what went wrong. A child that ends without
// returning is a failure too.
std::string inChildProcess(const std::function<std::string()>& check);

// The prefix of a check's answer that means it could not run here.
inline constexpr std::string_view kSkipped = "skipped: ";

// Makes the named system calls fail with ENOSYS in this process and every
// program it starts, as on a kernel that lacks them; false when the system
// refuses the filter or the architecture is not known here.
bool refuseSystemCalls(std::initializer_list<long> numbers);

}  // namespace kiv::testing
