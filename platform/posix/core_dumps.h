#pragma once

namespace kiv::posix {

// Kiv and kivctl hold passwords in memory, so neither may leave a core dump
// (a copy of that memory in a file) when it crashes or is sent SIGQUIT: the
// process is made non-dumpable, which also keeps other processes of the same
// user from reading its memory through /proc or a debugger, and its core
// file size limit is set to 0. Programs it starts are not affected by the
// first (the flag is reset when a program is executed); they inherit the
// limit but may raise it again. False when the system refused either.
bool forbidCoreDumps();

}  // namespace kiv::posix
