#pragma once

#include "windows_api.h"

#include <string>

namespace kiv {

// The help document shipped beside the program, named after the help file.
inline constexpr const char* kHelpDocument = "kiv-help.html";

// The help document's full path: beside the program.
std::string helpDocumentBesideProgram();

// The URL of the help document at `path` at the place for a help context: the
// section "#schedule" (1, the Schedule menu), "#task" (2, the Task menu), or
// the top for any other. A URL keeps the section, which a plain path handed
// to the shell drops.
std::string helpUrl(const std::string& path, int context);

// What the user is told when ShellExecute answered `result` (32 or less) for
// `document`: the document's path, so it can be opened by hand, and what
// ShellExecute's own result means.
std::string helpFailureMessage(const std::string& document, INT_PTR result);

// Opens `document` at the context's section in the user's browser. A
// document that cannot be opened is reported over `owner`.
void openHelpDocument(HWND owner, const std::string& document, int context);

}  // namespace kiv
