#pragma once

#include <poll.h>
#include <signal.h>

#include <span>
#include <string_view>

namespace kiv::ctl {

// What asks the scheduler to stop, in words.
std::string_view stopRequestNames();

// SIGINT and SIGTERM ask the scheduler to stop. While this object lives they
// are held back except inside wait, so a tick in progress always finishes and
// a stop is never lost between a check and the wait that follows it. The
// former handlers and signal mask come back when it ends.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Waits until one of `descriptors` is ready (filling in their revents);
  // false, at once, when a stop was asked.
  bool wait(std::span<pollfd> descriptors);

 private:
  sigset_t savedMask_{};
  struct sigaction savedInterrupt_ {};
  struct sigaction savedTerminate_ {};
};

}  // namespace kiv::ctl
