#include "schedule_mutexes.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>

#include "base/utf8_path.h"
#include "shell/schedule_lock_name.h"

namespace kiv {
namespace {

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

}  // namespace kiv
