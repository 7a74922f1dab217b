#pragma once

#include <chrono>
#include <memory>
#include <string_view>

namespace kiv::ctl {

// What asks the scheduler to stop, in words: the POSIX signals, or Windows'
// console events.
std::string_view stopRequestNames();

// The requests named above ask the scheduler to stop. While this object
// lives a stop is only taken inside wait, so a tick in progress always
// finishes and a stop is never lost between a check and the wait that
// follows it. The former handling comes back when it ends.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Waits for `delay` to pass; false, at once, when a stop was asked.
  bool wait(std::chrono::milliseconds delay);

 private:
  struct Saved;
  std::unique_ptr<Saved> saved_;
};

}  // namespace kiv::ctl
