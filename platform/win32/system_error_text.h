#pragma once

#include "windows_api.h"

#include <string>
#include <string_view>

namespace kiv {

// The system's own description of an error code (GetLastError), as UTF-8,
// without the line break the system ends it with. Some descriptions hold an
// insert for what the error is about ("%1 is not a valid Win32
// application."): each insert is filled with `subject`. The description is
// read without its inserts (FORMAT_MESSAGE_IGNORE_INSERTS), so the system
// never reads arguments that are not there.
std::string systemErrorText(DWORD error, std::string_view subject);

}  // namespace kiv
