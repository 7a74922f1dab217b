#include "stand_in_record.h"

#include <chrono>
#include <fstream>
#include <iterator>

#include "waiting.h"
#include "windows_api.h"

namespace kiv::testing {
namespace {

constexpr auto kStartLimit = std::chrono::seconds{30};

std::string folderOfThisProgram() {
  char path[MAX_PATH] = {};
  const std::string program(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return program.substr(0, program.find_last_of('\\') + 1);
}

}  // namespace

StandInRecord::StandInRecord() {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  char file[MAX_PATH] = {};
  GetTempFileNameA(folder, "kiv", 0, file);
  DeleteFileA(file);
  path_ = file;
  SetEnvironmentVariableA("KIV_STAND_IN_RECORD", path_.c_str());
}

StandInRecord::~StandInRecord() {
  DeleteFileA(path_.c_str());
  SetEnvironmentVariableA("KIV_STAND_IN_RECORD", nullptr);
}

std::string StandInRecord::program() {
  return folderOfThisProgram() + KIV_STAND_IN_NAME;
}

std::optional<std::string> StandInRecord::commandLine() const {
  const bool written = waitUntil(
      [this] { return GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }, kStartLimit);
  if (!written) return std::nullopt;
  std::ifstream in(path_, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kiv::testing
