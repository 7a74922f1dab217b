#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "posix/unique_fd.h"

namespace kiv::posix {

// An exclusive flock() on a lock file, released when the object goes or the
// process ends however it ends. The holder writes its process id and program
// name into the file, so another process can say who holds it.
class FileLock {
 public:
  enum class State { Held, HeldByOther, Failed };

  FileLock() = default;
  // Tries once, without waiting. `program` is the name others are told.
  FileLock(const std::filesystem::path& file, std::string_view program);
  ~FileLock() = default;
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  State state() const { return state_; }
  bool held() const { return state_ == State::Held; }
  // HeldByOther: "process 4242 (kivctl)", or "another Kiv program" when the
  // holder has not written itself in yet; Failed: why the lock was not taken.
  const std::string& detail() const { return detail_; }

 private:
  void release();

  UniqueFd fd_;
  State state_ = State::Failed;
  std::string detail_;
};

}  // namespace kiv::posix
