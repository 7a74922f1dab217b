#include "stand_in_record.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "waiting.h"
#include "wide_text.h"
#include "windows_api.h"

namespace kiv::testing {
namespace {

constexpr auto kStartLimit = std::chrono::seconds{30};

std::wstring folderOfThisProgram() {
  wchar_t path[MAX_PATH] = {};
  const std::wstring program(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return program.substr(0, program.find_last_of(L'\\') + 1);
}

}  // namespace

// Named by this process and a count, never by GetTempFileName: a name it
// hands out is free again once its placeholder is deleted, and a test program
// running beside this one could then be handed the name this record waits on.
StandInRecord::StandInRecord() {
  static int made = 0;
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  path_ = std::wstring(folder) + L"kiv-stand-in-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++made) + L".record";
  DeleteFileW(path_.c_str());
  SetEnvironmentVariableW(L"KIV_STAND_IN_RECORD", path_.c_str());
}

StandInRecord::~StandInRecord() {
  DeleteFileW(path_.c_str());
  for (const wchar_t* name : {L"KIV_STAND_IN_RECORD", L"KIV_STAND_IN_STAY_MS",
                              L"KIV_STAND_IN_EXIT_STATUS", L"KIV_STAND_IN_HOLD"}) {
    SetEnvironmentVariableW(name, nullptr);
  }
}

void StandInRecord::stayFor(std::chrono::milliseconds time) const {
  SetEnvironmentVariableW(L"KIV_STAND_IN_STAY_MS", std::to_wstring(time.count()).c_str());
}

void StandInRecord::exitWith(std::uint32_t status) const {
  SetEnvironmentVariableW(L"KIV_STAND_IN_EXIT_STATUS", std::to_wstring(status).c_str());
}

void StandInRecord::holdOpen(const std::filesystem::path& file) const {
  SetEnvironmentVariableW(L"KIV_STAND_IN_HOLD", file.wstring().c_str());
}

std::string StandInRecord::program() {
  return fromWide(folderOfThisProgram()) + KIV_STAND_IN_NAME;
}

std::optional<std::string> StandInRecord::commandLine() const {
  const bool written = waitUntil(
      [this] { return GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }, kStartLimit);
  if (!written) return std::nullopt;
  std::ifstream in(std::filesystem::path(path_), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kiv::testing
