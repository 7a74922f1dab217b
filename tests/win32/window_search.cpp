#include "window_search.h"

#include "wide_text.h"

namespace kiv::testing {
namespace {

struct Search {
  const WindowQuery* query;
  HWND found;
};

bool matches(HWND window, const WindowQuery& query) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char windowClass[64] = {};
  GetClassNameA(window, windowClass, sizeof windowClass);
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  return process == query.process && query.windowClass == windowClass &&
         (query.title.empty() || query.title == fromWide(title)) &&
         (!query.shownOnly || IsWindowVisible(window) != FALSE);
}

BOOL CALLBACK searchWindow(HWND window, LPARAM searchAddress) {
  auto& search = *reinterpret_cast<Search*>(searchAddress);
  if (!matches(window, *search.query)) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

HWND findTopLevelWindow(const WindowQuery& query) {
  Search search{&query, nullptr};
  EnumWindows(searchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace kiv::testing
