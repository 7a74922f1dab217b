#include "process_start.h"

#include "windows_api.h"

#include <optional>

#include "ansi_text.h"
#include "system_error_text.h"

namespace kiv {

StartResult startMinimised(const std::string& commandLine) {
  std::optional<std::string> ansi = toAnsiExactly(commandLine);
  if (!ansi) {
    return {false,
            "The command line holds a character that the system's code page cannot pass on."};
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION started{};
  // CreateProcessA may write into the command line, so it gets a copy of its own.
  if (CreateProcessA(nullptr, ansi->data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &started) == FALSE) {
    return {false, systemErrorText(GetLastError())};
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return {true, ""};
}

}  // namespace kiv
