#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace kiv::testing {

// The stand-in program beside the test program, and the file it writes its
// command line to: a fresh one for each StandInRecord, named to the stand-in
// through the environment that started programs inherit, with how long the
// stand-in stays and the status it exits with.
class StandInRecord {
 public:
  StandInRecord();
  ~StandInRecord();
  StandInRecord(const StandInRecord&) = delete;
  StandInRecord& operator=(const StandInRecord&) = delete;

  // The stand-in's full path, as UTF-8.
  static std::string program();

  // Stand-ins started from now on, while this record lives, stay `time`
  // after writing the record, then exit with `status`.
  void stayFor(std::chrono::milliseconds time) const;
  void exitWith(std::uint32_t status) const;
  // ... and have `file` open from before they write the record until they
  // exit, as the database program has its lock file.
  void holdOpen(const std::filesystem::path& file) const;

  // The command line the stand-in was started with, as UTF-8, once it is
  // there; nothing when no stand-in wrote it within the wait.
  std::optional<std::string> commandLine() const;

 private:
  std::wstring path_;
};

}  // namespace kiv::testing
