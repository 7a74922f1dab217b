#include "help_document.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <utility>

#include "base/identity.h"
#include "wide_text.h"

namespace kiv {
namespace {

constexpr std::array<std::pair<int, const char*>, 2> kSections{{
    {1, "#schedule"},
    {2, "#task"},
}};

// FindExecutable and ShellExecute report a failure as a number up to 32, a
// code of their own: the thread's last error does not say why they failed.
constexpr INT_PTR kShellFailureAtMost = 32;

constexpr std::array<std::pair<INT_PTR, const char*>, 13> kShellFailures{{
    {0, "the system is out of memory or resources"},
    {SE_ERR_FNF, "the file was not found"},
    {SE_ERR_PNF, "its folder was not found"},
    {ERROR_BAD_FORMAT, "the program registered to open it is not a valid program"},
    {SE_ERR_ACCESSDENIED, "access to it was denied"},
    {SE_ERR_OOM, "there was not enough memory"},
    {SE_ERR_SHARE, "it is in use by another program"},
    {SE_ERR_ASSOCINCOMPLETE, "the program registered for its file type is not complete"},
    {SE_ERR_DDETIMEOUT, "the program registered to open it did not answer in time"},
    {SE_ERR_DDEFAIL, "the exchange with the program registered to open it failed"},
    {SE_ERR_DDEBUSY, "the program registered to open it was busy"},
    {SE_ERR_NOASSOC, "no program is registered to open files of its type"},
    {SE_ERR_DLLNOTFOUND, "a library the program registered to open it needs was not found"},
}};

std::string helpSection(int context) {
  const auto found = std::find_if(kSections.begin(), kSections.end(),
                                  [context](const auto& entry) { return entry.first == context; });
  return found == kSections.end() ? "" : found->second;
}

std::string shellFailureText(INT_PTR result) {
  const auto found = std::find_if(kShellFailures.begin(), kShellFailures.end(),
                                  [result](const auto& entry) { return entry.first == result; });
  if (found != kShellFailures.end()) return found->second;
  return "the shell answered " + std::to_string(result);
}

// The browser registered for the document, or nothing.
std::wstring browserFor(const std::wstring& document) {
  std::wstring browser(MAX_PATH, L'\0');
  if (reinterpret_cast<INT_PTR>(FindExecutableW(document.c_str(), nullptr, browser.data())) <=
      kShellFailureAtMost) {
    return {};
  }
  browser.resize(browser.find(L'\0'));
  return browser;
}

}  // namespace

std::string helpDocumentBesideProgram() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return fromWide(path.substr(0, path.find_last_of(L'\\') + 1)) + kHelpDocument;
}

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

std::string helpFailureMessage(const std::string& document, INT_PTR result) {
  return "The help document " + document + " could not be opened: " + shellFailureText(result) +
         ". Open it in a web browser.";
}

void openHelpDocument(HWND owner, const std::string& document, int context) {
  const std::wstring wideDocument = toWide(document);
  // The browser that opens the document is asked for the section's URL.
  const std::wstring browser = browserFor(wideDocument);
  const std::wstring url = L"\"" + toWide(helpUrl(document, context)) + L"\"";
  const INT_PTR result = reinterpret_cast<INT_PTR>(
      browser.empty()
          ? ShellExecuteW(owner, L"open", wideDocument.c_str(), nullptr, nullptr, SW_SHOWNORMAL)
          : ShellExecuteW(owner, L"open", browser.c_str(), url.c_str(), nullptr, SW_SHOWNORMAL));
  if (result > kShellFailureAtMost) return;
  MessageBoxW(owner, toWide(helpFailureMessage(document, result)).c_str(),
              toWide(identity::kTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace kiv
