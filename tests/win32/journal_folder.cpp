#include "journal_folder.h"

#include <fstream>

#include "windows_api.h"

namespace kiv::testing {
namespace {

constexpr const wchar_t* kVariable = L"LOCALAPPDATA";

}  // namespace

JournalFolder::JournalFolder() : former_(GetEnvironmentVariableW(kVariable, nullptr, 0), L'\0') {
  hadFormer_ = !former_.empty();
  former_.resize(
      GetEnvironmentVariableW(kVariable, former_.data(), static_cast<DWORD>(former_.size())));
  SetEnvironmentVariableW(kVariable, folder_.path().c_str());
}

JournalFolder::~JournalFolder() {
  SetEnvironmentVariableW(kVariable, hadFormer_ ? former_.c_str() : nullptr);
}

std::vector<std::string> JournalFolder::lines() const {
  std::ifstream in(journal(), std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace kiv::testing
