#include "engine/database_key.h"

#include <string_view>
#include <vector>

#include "base/text_characters.h"

namespace kiv {
namespace {

bool isSeparator(char character) {
  return character == '/' || character == '\\';
}

bool isWindowsPath(std::string_view path) {
  const bool driveLetter =
      path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  const bool share = path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
  return driveLetter || share;
}

// The path's steps with "." and empty ones dropped and each ".." taking out
// the step before it; a ".." with nothing before it stays, as it names a
// folder above the start.
std::vector<std::string_view> normalSteps(std::string_view path) {
  std::vector<std::string_view> steps;
  while (!path.empty()) {
    std::size_t end = 0;
    while (end < path.size() && !isSeparator(path[end])) ++end;
    const std::string_view step = path.substr(0, end);
    path.remove_prefix(end == path.size() ? end : end + 1);
    if (step.empty() || step == ".") continue;
    if (step == ".." && !steps.empty() && steps.back() != "..") {
      steps.pop_back();
    } else {
      steps.push_back(step);
    }
  }
  return steps;
}

}  // namespace

std::string databaseKey(const Task& task, int index) {
  const std::string_view location = task.DatabaseLocation;
  if (location.empty()) return "task " + std::to_string(index + 1);
  std::string key;
  if (isSeparator(location.front())) key = "/";
  if (location.size() >= 2 && isSeparator(location[0]) && isSeparator(location[1])) key = "//";
  for (const std::string_view step : normalSteps(location)) {
    if (!key.empty() && key.back() != '/') key += '/';
    key += step;
  }
  return isWindowsPath(location) ? asciiLowerCase(key) : key;
}

}  // namespace kiv
