#pragma once

#include "windows_api.h"

#include <optional>
#include <string>
#include <utility>

#include "schedule_mutexes.h"
#include "unique_handle.h"

namespace kiv {

// One Kiv.exe per session: a later start hands its command line to the first.

// Held by the first Kiv.exe of the session for its whole life.
class InstanceMutex {
 public:
  InstanceMutex();
  InstanceMutex(const InstanceMutex&) = delete;
  InstanceMutex& operator=(const InstanceMutex&) = delete;

  // False when another Kiv.exe runs already.
  bool first() const { return first_; }

 private:
  UniqueHandle mutex_;
  bool first_;
};

// Hands a later start's command line and current folder to the running
// Kiv.exe's window (WM_COPYDATA); true once it took them.
bool handOverToRunningWindow(const std::string& arguments, const std::string& folder);

// The command line and folder a WM_COPYDATA of a later start carries;
// nullopt for any other data.
std::optional<std::pair<std::string, std::string>> handedOverCommandLine(
    const COPYDATASTRUCT& data);

}  // namespace kiv
