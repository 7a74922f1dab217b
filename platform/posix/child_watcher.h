#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <utility>
#include <vector>

#include "posix/unique_fd.h"
#include "shell/launch_journal.h"
#include "shell/process_starter.h"

namespace kiv::posix {

// How a started program ended.
struct ChildEnding {
  pid_t pid = 0;
  bool killed = false;                        // ended by a signal rather than by exiting
  int status = 0;                             // the exit status, or the signal's number when killed
  bool coreDumped = false;                    // killed, leaving a core dump
  std::chrono::steady_clock::duration ran{};  // from its start until it was reaped
};

// What the launch journal records of `ending`.
ProgramOutcome programOutcome(const ChildEnding& ending);

// Keeps the programs this process started from lingering as zombies: each is
// reaped as soon as it ends, without blocking, and its ending is reported.
//
// One descriptor stands for all of them, for whichever event loop the
// program runs: it is readable when a watched program has ended, and reap()
// then collects it. Each program is watched through a process descriptor
// (pidfd), which names that process alone: no other child of this process is
// reaped, so Qt's own child processes, say, are left to Qt. On a kernel
// without process descriptors (before Linux 5.3) the descriptor becomes
// readable once a second while such a program runs, so an ended one is
// reaped within a second.
//
// Programs still running when the watcher goes keep running; the system
// reaps them after this process has ended.
class ChildWatcher {
 public:
  using Report = std::function<void(const ChildEnding&)>;

  // `report` is told of each ending, in the call to reap() that collects it.
  // Throws std::system_error when the descriptor cannot be made.
  explicit ChildWatcher(Report report = nullptr);
  ChildWatcher(const ChildWatcher&) = delete;
  ChildWatcher& operator=(const ChildWatcher&) = delete;

  // Tells `report` of each ending from now on, in place of the one given
  // when the watcher was made.
  void reportTo(Report report) { report_ = std::move(report); }

  // Readable when reap() has something to collect.
  int descriptor() const { return epoll_.get(); }

  // Takes `pid`, a child of this process started at `started`, into care.
  void watch(pid_t pid, std::chrono::steady_clock::time_point started);
  // Reaps every watched program that has ended, reporting each; returns at
  // once when none has.
  void reap();
  // Ends the watched program `pid` and every process of its process group,
  // which the starter made it lead: SIGTERM asks them to end, SIGKILL makes
  // them. Once the program itself has ended, what is left of its group is
  // killed before the program is reaped, while its process id still names
  // the group. Does nothing for a program that is not watched.
  void end(pid_t pid, Ending how);
  // How many started programs have not been reaped yet.
  std::size_t watching() const { return children_.size(); }

 private:
  struct Child {
    pid_t pid;
    UniqueFd pidfd;  // none when the kernel has no process descriptors
    std::chrono::steady_clock::time_point started;
    bool ending = false;  // end() was called: its group goes with it
  };

  void pollOncePerSecond(bool on);

  Report report_;
  UniqueFd epoll_;
  UniqueFd sweepTimer_;  // made when the first program without a pidfd comes
  std::vector<Child> children_;
};

}  // namespace kiv::posix
