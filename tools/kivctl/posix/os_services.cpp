#include "os_services.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "posix/launch_journal_file.h"
#include "posix/local_clock.h"
#include "posix/posix_database_files.h"
#include "posix/posix_file_storage.h"
#include "posix/schedule_locks.h"
#include "posix/system_log_socket.h"
#include "wall_clock.h"

namespace kiv::ctl {

const CodePage& scheduleCodePage() {
  return windows1252CodePage();
}

FileStorage& scheduleStorage() {
  static posix::PosixFileStorage storage;
  return storage;
}

// Held for the rest of the process, so the lock goes only when kivctl ends.
ScheduleClaim claimScheduleFile(const std::string& scheduleFile) {
  static posix::ScheduleLocks locks{"kivctl"};
  return locks.claim(scheduleFile);
}

Result<void, std::string> appendToJournal(const std::string& line) {
  return posix::LaunchJournalFile::forUser().append(line);
}

Result<std::string, JournalUnreadable> journalText() {
  return posix::LaunchJournalFile::forUser().read();
}

std::filesystem::path journalFolder() {
  return posix::LaunchJournalFile::forUser().file().parent_path();
}

std::optional<std::size_t> terminalWidth() {
  winsize size{};
  if (::isatty(STDOUT_FILENO) == 0 || ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 ||
      size.ws_col == 0) {
    return std::nullopt;
  }
  return size.ws_col;
}

DatabaseFiles& databaseFiles() {
  static posix::PosixDatabaseFiles files;
  return files;
}

SystemLog& systemLog() {
  static posix::SystemLogSocket log;
  return log;
}

ClockReading readLocalClock() {
  return posix::readLocalClock();
}

const LocalZone& systemLocalZone() {
  static const posix::SystemLocalZone zone;
  return zone;
}

LocalTime localNow() {
  return posix::readLocalClock().local;
}

}  // namespace kiv::ctl
