#pragma once

#include "windows_api.h"

#include <string>

namespace kiv {

// The help document shipped beside the program, named after the help file.
inline constexpr const char* kHelpDocument = "kiv-help.html";

// The URL of the help document at `path` (in the ANSI code page) at the place
// for a help context: the section "#schedule" (1, the Schedule menu), "#task"
// (2, the Task menu), or the top for any other. A URL keeps the section, which
// a plain path handed to the shell drops.
std::string helpUrl(const std::string& path, int context);

// Opens the help document beside the program at the context's section in the
// user's browser. A document that cannot be opened is reported over `owner`.
void openHelpDocument(HWND owner, int context);

}  // namespace kiv
