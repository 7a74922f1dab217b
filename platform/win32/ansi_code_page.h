#pragma once

#include "schedule_file/code_page.h"

namespace kiv {

// The system's ANSI code page for the schedule file's texts, so a schedule
// written here reads as the same texts in every program of this system.
const CodePage& systemAnsiCodePage();

}  // namespace kiv
