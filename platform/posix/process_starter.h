#pragma once

#include <string_view>

#include "posix/child_watcher.h"
#include "shell/process_starter.h"

namespace kiv::posix {

// Starts the program that a Windows command line names, with the arguments the
// line means, and returns without waiting for it.
//
// - The program is the one CreateProcess would start and it is told the
//   arguments its C runtime would give it (windowsStartOf).
// - No shell takes part: the program is executed directly, looked up along PATH
//   when its name has no slash (the way execvp looks) and taken as a path
//   otherwise. A file the system cannot execute is an error; it is never handed
//   to /bin/sh as a script, so nothing in a task's texts can run a second
//   command.
// - The program is detached: it leads a session of its own, so it outlives
//   this process and no terminal's hang-up reaches it; its standard input,
//   output and error are /dev/null, it inherits no other descriptor, it starts
//   with every signal at its default action and none blocked. It keeps the
//   environment and the current folder, as a program started by CreateProcess
//   does.
// - It stays a child of this process while this process runs: `children`
//   takes it into care and reaps it when it ends.
// - It is started with posix_spawn, which does not copy this process's memory
//   the way fork does, so a start costs the same in a large program as in a
//   small one.
// - Windows starts the program minimised. A POSIX program has no start-up show
//   state: one without a window has nothing to minimise, and a window program
//   could only be asked through options of its own toolkit, which would change
//   the arguments the task gives it. So the show state is left to the program.
//
// started is true once the program runs. Otherwise error tells the user why:
// the line names no program, it holds a NUL character (kCommandLineHoldsNul),
// or the system's reason, naming the program.
StartResult start(std::string_view commandLine, ChildWatcher& children);

}  // namespace kiv::posix
