// kivctl: the command-line companion of the Kiv scheduler.
#include <exception>
#include <iostream>
#include <optional>
#include <ostream>
#include <string_view>
#include <system_error>
#include <vector>

#include "commands.h"
#include "exit_status.h"
#include "posix/core_dumps.h"
#include "posix/standard_output.h"

int main(int argc, char* argv[]) {
  // Before a schedule, and with it a password, is read.
  kiv::posix::forbidCoreDumps();
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  kiv::ctl::StandardOutput output;
  std::ostream out(&output);
  int status = kiv::ctl::kExitFailure;
  try {
    status = kiv::ctl::runKivctl(arguments, out, std::cerr);
  } catch (const std::exception& error) {
    // A system call that failed where kivctl cannot go on (no descriptor
    // left for its timer, say): one line, never an abort.
    kiv::ctl::reportError(std::cerr, error.what());
  }
  if (const std::optional<std::error_code> failure = output.finish()) {
    kiv::ctl::reportError(std::cerr, "standard output: " + failure->message());
    return kiv::ctl::kExitFailure;
  }
  return status;
}
