#pragma once

#include "windows_api.h"

#include <chrono>
#include <string_view>

#include "unique_handle.h"

namespace kiv::ctl {

// What asks the scheduler to stop, in words: the console's events.
std::string_view stopRequestNames();

// Ctrl+C, Ctrl+Break and the console's closing ask the scheduler to stop
// (onConsoleEvent). While this object lives a stop is only taken inside wait,
// so a tick in progress always finishes and a stop is never lost between a
// check and the wait that follows it. The former handling comes back when it
// ends.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Waits for `delay` to pass; false, at once, when a stop was asked.
  bool wait(std::chrono::milliseconds delay);
  // Waits until `due` is signalled; false, at once, when a stop was asked.
  bool waitFor(HANDLE due);

 private:
  UniqueHandle stopAsked_;
};

}  // namespace kiv::ctl
