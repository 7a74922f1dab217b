#pragma once

#include <filesystem>
#include <string>

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

// Starts a Windows command line minimised, without waiting, through the same
// starter as the window program of the system.
StartResult startCommandLine(const std::string& commandLine);

}  // namespace kiv::ctl
