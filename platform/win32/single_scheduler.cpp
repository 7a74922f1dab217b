#include "single_scheduler.h"

#include <algorithm>
#include <cwctype>

#include "base/utf8_path.h"
#include "form_window.h"
#include "shell/schedule_lock_name.h"

namespace kiv {
namespace {

// "KIV1": a hand-over of a command line, folder first, then a NUL, then the
// arguments, all UTF-8.
constexpr ULONG_PTR kHandOverTag = 0x4B495631;

// A file named in any case or form is the same file.
std::string canonicalName(const std::string& scheduleFile) {
  std::error_code error;
  std::filesystem::path path = std::filesystem::absolute(pathFromUtf8(scheduleFile), error);
  if (error) path = pathFromUtf8(scheduleFile);
  std::wstring name = path.lexically_normal().wstring();
  std::transform(name.begin(), name.end(), name.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return utf8FromPath(std::filesystem::path(name));
}

std::wstring mutexName(const std::string& scheduleFile) {
  const std::string name = scheduleLockName(canonicalName(scheduleFile));
  return L"Local\\Kiv-" + std::wstring(name.begin(), name.end());
}

}  // namespace

ScheduleMutexes::~ScheduleMutexes() {
  if (held_ != nullptr) CloseHandle(held_);
}

ScheduleClaim ScheduleMutexes::claim(const std::string& scheduleFile) {
  const std::wstring name = scheduleFile.empty() ? L"" : mutexName(scheduleFile);
  if (held_ != nullptr && name == heldName_) return {};
  HANDLE mutex = nullptr;
  if (!name.empty()) {
    mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) return {ScheduleClaim::Kind::Unavailable, "the lock cannot be made"};
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      CloseHandle(mutex);
      return {ScheduleClaim::Kind::HeldByOther, "another Kiv program"};
    }
  }
  if (held_ != nullptr) CloseHandle(held_);
  held_ = mutex;
  heldName_ = name;
  return {};
}

InstanceMutex::InstanceMutex()
    : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\Kiv-instance")),
      first_(mutex_ == nullptr || GetLastError() != ERROR_ALREADY_EXISTS) {}

InstanceMutex::~InstanceMutex() {
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

bool handOverToRunningWindow(const std::string& arguments, const std::string& folder) {
  const HWND running = FindWindowA(FormWindow::kClassName, nullptr);
  if (running == nullptr) return false;
  std::string message = folder;
  message += '\0';
  message += arguments;
  COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(message.size()), message.data()};
  DWORD_PTR taken = 0;
  return SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
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
