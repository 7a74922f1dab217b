// kivctl.exe: the command-line companion of the Kiv scheduler, for Windows.
// The arguments arrive as UTF-16 and go to the commands as UTF-8; the output
// leaves as UTF-8 (see ConsoleOutput).
#include <exception>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "console_output.h"
#include "exit_status.h"
#include "wide_text.h"

int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::string> texts;
  for (int index = 1; index < argc; ++index) texts.push_back(kiv::fromWide(argv[index]));
  const std::vector<std::string_view> arguments(texts.begin(), texts.end());
  kiv::ctl::ConsoleOutput outBuffer(STD_OUTPUT_HANDLE);
  kiv::ctl::ConsoleOutput errBuffer(STD_ERROR_HANDLE);
  std::ostream out(&outBuffer);
  std::ostream err(&errBuffer);
  int status = kiv::ctl::kExitFailure;
  try {
    status = kiv::ctl::runKivctl(arguments, out, err);
  } catch (const std::exception& error) {
    // A system call that failed where kivctl cannot go on: one line, never
    // an abort.
    kiv::ctl::reportError(err, error.what());
  }
  out.flush();
  err.flush();
  return status;
}
