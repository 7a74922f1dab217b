#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "base/local_zone.h"
#include "base/result.h"

#include "schedule_file/code_page.h"
#include "schedule_file/file_storage.h"
#include "shell/platform.h"

namespace kiv::ctl {

// What kivctl asks of the operating system. Each system answers in a source
// file of its own (posix/, win32/); the commands are the same everywhere.

// The code page of the schedule file's texts: Windows-1252 on POSIX, the
// system's ANSI code page on Windows, as the window program of that system
// writes them.
const CodePage& scheduleCodePage();

// How schedule files (and the units kivctl export writes) are read and saved
// on this system.
FileStorage& scheduleStorage();

// The schedule lock of this process, the operating system's: the lock file
// of the POSIX Kiv programs, the named mutex of the Windows ones. Taken as
// Platform::claimSchedule describes.
ScheduleClaim claimScheduleFile(const std::string& scheduleFile);

// The user's launch journal, shared with the window program of the system:
// appending one line as Platform::appendJournalLine does, and its text.
Result<void, std::string> appendToJournal(const std::string& line);
Result<std::string, JournalUnreadable> journalText();
// The folder the journal is kept in; empty when the user has none.
std::filesystem::path journalFolder();

// The file checks and copies that guard a compact, repair or decompile, the
// window program's of the same system.
DatabaseFiles& databaseFiles();

// The width in characters of the terminal or console standard output goes
// to; nullopt when it goes to a file or a pipe.
std::optional<std::size_t> terminalWidth();

// The system's own log: syslog on POSIX, the Application event log on
// Windows.
SystemLog& systemLog();

// The local wall clock now with its UTC offset, and the rules of the
// system's time zone.
ClockReading readLocalClock();
const LocalZone& systemLocalZone();

}  // namespace kiv::ctl
