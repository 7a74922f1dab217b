#pragma once

#include "windows_api.h"

#include <string>

namespace kiv {

// The system's own description of an error code (GetLastError), as UTF-8,
// without the line break the system ends it with.
std::string systemErrorText(DWORD error);

}  // namespace kiv
