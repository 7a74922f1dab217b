// kivctl.exe: the command-line companion of the Kiv scheduler, for Windows.
// The arguments arrive as UTF-16 and go to the commands as UTF-8; the output
// leaves as UTF-8 (see ConsoleOutput).
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "console_output.h"
#include "wide_text.h"

int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::string> texts;
  for (int index = 1; index < argc; ++index) texts.push_back(kiv::fromWide(argv[index]));
  const std::vector<std::string_view> arguments(texts.begin(), texts.end());
  kiv::ctl::ConsoleOutput outBuffer(STD_OUTPUT_HANDLE);
  kiv::ctl::ConsoleOutput errBuffer(STD_ERROR_HANDLE);
  std::ostream out(&outBuffer);
  std::ostream err(&errBuffer);
  const int status = kiv::ctl::runKivctl(arguments, out, err);
  out.flush();
  err.flush();
  return status;
}
