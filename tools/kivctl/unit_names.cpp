#include "unit_names.h"

#include <algorithm>

namespace kiv::ctl {
namespace {

bool isLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool allowedInPrefix(char c) {
  return isLetterOrDigit(c) || c == '_' || c == '.' || c == '-';
}

bool isUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::optional<std::string> unitPrefixProblem(std::string_view prefix) {
  const std::string subject = "the unit name prefix \"" + std::string(prefix) + "\" ";
  if (!std::ranges::all_of(prefix, allowedInPrefix)) {
    return subject + "may hold only letters A to Z, digits, \"_\", \".\" and \"-\"";
  }
  if (prefix.empty() || !(isLetterOrDigit(prefix.front()) || prefix.front() == '_')) {
    return subject + "must begin with a letter, a digit or \"_\"";
  }
  if (prefix.size() > kLongestUnitPrefix) {
    return subject + "is longer than " + std::to_string(kLongestUnitPrefix) + " characters";
  }
  return std::nullopt;
}

std::string defaultUnitPrefix(const std::filesystem::path& scheduleFile) {
  std::string prefix = "kiv-";
  for (const char c : scheduleFile.stem().string()) {
    if (isUtf8Continuation(c)) continue;  // one "_" for the whole character
    prefix += allowedInPrefix(c) ? c : '_';
  }
  return prefix;
}

std::string unitStem(std::string_view prefix, int taskIndex) {
  return std::string(prefix) + "-task" + std::to_string(taskIndex + 1);
}

}  // namespace kiv::ctl
