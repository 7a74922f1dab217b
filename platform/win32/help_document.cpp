#include "help_document.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <utility>

#include "ansi_text.h"
#include "base/identity.h"
#include "system_error_text.h"

namespace kiv {
namespace {

constexpr std::array<std::pair<int, const char*>, 2> kSections{{
    {1, "#schedule"},
    {2, "#task"},
}};

// FindExecutable and ShellExecute report a failure as a number up to 32.
constexpr INT_PTR kShellFailureAtMost = 32;

std::string programFolder() {
  std::string path(MAX_PATH, '\0');
  path.resize(GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of('\\') + 1);
}

std::string helpSection(int context) {
  const auto found = std::find_if(kSections.begin(), kSections.end(),
                                  [context](const auto& entry) { return entry.first == context; });
  return found == kSections.end() ? "" : found->second;
}

}  // namespace

std::string helpUrl(const std::string& path, int context) {
  std::string url = "file:///";
  for (const char c : path) {
    if (c == '\\') {
      url += '/';
    } else if (c == ' ') {
      url += "%20";
    } else {
      url += c;
    }
  }
  return url + helpSection(context);
}

void openHelpDocument(HWND owner, int context) {
  const std::string document = programFolder() + kHelpDocument;
  // The browser that opens the document is asked for the section's URL.
  std::string browser(MAX_PATH, '\0');
  const bool hasBrowser = reinterpret_cast<INT_PTR>(FindExecutableA(
                              document.c_str(), nullptr, browser.data())) > kShellFailureAtMost;
  browser.resize(browser.find('\0'));
  const std::string url = "\"" + helpUrl(document, context) + "\"";
  const INT_PTR result = reinterpret_cast<INT_PTR>(
      hasBrowser
          ? ShellExecuteA(owner, "open", browser.c_str(), url.c_str(), nullptr, SW_SHOWNORMAL)
          : ShellExecuteA(owner, "open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > kShellFailureAtMost) return;
  const std::string message = "The help document " + fromAnsi(document) +
                              " could not be opened: " + systemErrorText(GetLastError());
  MessageBoxA(owner, toAnsi(message).c_str(), std::string(identity::kTitle).c_str(),
              MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace kiv
