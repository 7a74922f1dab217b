#include "os_services.h"

#include "ansi_code_page.h"
#include "local_clock.h"
#include "process_start.h"
#include "wall_clock.h"
#include "win32_file_storage.h"

namespace kiv::ctl {

// A schedule written by Kiv.exe on this system reads the same here.
const CodePage& scheduleCodePage() {
  return systemAnsiCodePage();
}

FileStorage& scheduleStorage() {
  static Win32FileStorage storage;
  return storage;
}

StartResult startCommandLine(const std::string& commandLine) {
  return startMinimised(commandLine);
}

LocalTime localNow() {
  return kiv::localNow();
}

}  // namespace kiv::ctl
