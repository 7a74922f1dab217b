#pragma once

#include "windows_api.h"

#include <string>

#include "shell/schedule_locks.h"
#include "unique_handle.h"

namespace kiv {

// One scheduler per user and schedule on Windows, with named mutexes of the
// session: a mutex exists while a process holds a handle to it, and the
// system closes the handles of a process that ends, however it ends. Kiv.exe
// and kivctl.exe both take them.

// The schedule lock of this process, for Platform::claimSchedule.
class ScheduleMutexes {
 public:
  ScheduleMutexes() = default;
  ScheduleMutexes(const ScheduleMutexes&) = delete;
  ScheduleMutexes& operator=(const ScheduleMutexes&) = delete;

  ScheduleClaim claim(const std::string& scheduleFile);

 private:
  UniqueHandle held_;
  std::wstring heldName_;
};

}  // namespace kiv
