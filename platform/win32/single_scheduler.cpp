#include "single_scheduler.h"

#include "form_window.h"

namespace kiv {
namespace {

// "KIV1": a hand-over of a command line, folder first, then a NUL, then the
// arguments, all UTF-8.
constexpr ULONG_PTR kHandOverTag = 0x4B495631;

}  // namespace

InstanceMutex::InstanceMutex()
    : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\Kiv-instance")),
      first_(!mutex_ || GetLastError() != ERROR_ALREADY_EXISTS) {}

bool handOverToRunningWindow(const std::string& arguments, const std::string& folder) {
  const HWND running = FindWindowW(FormWindow::kClassName, nullptr);
  if (running == nullptr) return false;
  std::string message = folder;
  message += '\0';
  message += arguments;
  COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(message.size()), message.data()};
  DWORD_PTR taken = 0;
  return SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 10000, &taken) != 0 &&
         taken == TRUE;
}

std::optional<std::pair<std::string, std::string>> handedOverCommandLine(
    const COPYDATASTRUCT& data) {
  if (data.dwData != kHandOverTag || data.lpData == nullptr) return std::nullopt;
  const std::string message(static_cast<const char*>(data.lpData), data.cbData);
  const std::size_t separator = message.find('\0');
  if (separator == std::string::npos) return std::nullopt;
  return std::pair{message.substr(separator + 1), message.substr(0, separator)};
}

}  // namespace kiv
