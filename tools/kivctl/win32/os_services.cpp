#include "os_services.h"

#include "windows_api.h"

#include "ansi_code_page.h"
#include "event_log.h"
#include "launch_journal_file.h"
#include "local_clock.h"
#include "schedule_mutexes.h"
#include "wall_clock.h"
#include "win32_database_files.h"
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

DatabaseFiles& databaseFiles() {
  static Win32DatabaseFiles files;
  return files;
}

SystemLog& systemLog() {
  static EventLog log;
  return log;
}

// Held for the rest of the process, so the mutex goes only when kivctl ends.
ScheduleClaim claimScheduleFile(const std::string& scheduleFile) {
  static ScheduleMutexes locks;
  return locks.claim(scheduleFile);
}

Result<void, std::string> appendToJournal(const std::string& line) {
  return Win32JournalFile::forUser().append(line);
}

Result<std::string, JournalUnreadable> journalText() {
  return Win32JournalFile::forUser().read();
}

std::filesystem::path journalFolder() {
  return Win32JournalFile::forUser().file().parent_path();
}

std::optional<std::size_t> terminalWidth() {
  CONSOLE_SCREEN_BUFFER_INFO console{};
  if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &console) == FALSE) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(console.srWindow.Right - console.srWindow.Left + 1);
}

ClockReading readLocalClock() {
  return kiv::readLocalClock();
}

const LocalZone& systemLocalZone() {
  static const Win32LocalZone zone;
  return zone;
}

LocalTime localNow() {
  return kiv::readLocalClock().local;
}

}  // namespace kiv::ctl
