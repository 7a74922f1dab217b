#pragma once

#include <string>

#include "windows_api.h"

namespace kiv::testing {

// A top-level window of `process` with the class `windowClass`, shown or
// not; with a `title`, only a window of that title. nullptr when there is none.
struct WindowQuery {
  DWORD process;
  std::string windowClass;
  std::string title;  // UTF-8; any title when empty
  bool shownOnly;
};
HWND findTopLevelWindow(const WindowQuery& query);

}  // namespace kiv::testing
