#pragma once

#include "windows_api.h"

#include <utility>

namespace kiv {

// A kernel object's handle, closed when it goes out of scope. The system
// spells "no handle" two ways (CreateMutexW gives nullptr, CreateFileW
// INVALID_HANDLE_VALUE); both are held as none.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle)
      : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~UniqueHandle() { close(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      close();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  void close() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }

  HANDLE handle_ = nullptr;
};

}  // namespace kiv
