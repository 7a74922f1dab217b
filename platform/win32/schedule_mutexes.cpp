#include "schedule_mutexes.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <utility>

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

ScheduleClaim ScheduleMutexes::claim(const std::string& scheduleFile) {
  const std::wstring name = scheduleFile.empty() ? L"" : mutexName(scheduleFile);
  if (held_ && name == heldName_) return {};
  UniqueHandle mutex;
  if (!name.empty()) {
    mutex = UniqueHandle(CreateMutexW(nullptr, FALSE, name.c_str()));
    if (!mutex) return {ScheduleClaim::Kind::Unavailable, "the lock cannot be made"};
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      return {ScheduleClaim::Kind::HeldByOther, "another Kiv program"};
    }
  }
  held_ = std::move(mutex);
  heldName_ = name;
  return {};
}

}  // namespace kiv
