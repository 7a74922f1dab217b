#include "command_arguments.h"

#include <algorithm>

namespace kiv {
namespace {

constexpr std::string_view kBlanks = " \t";

}  // namespace

std::string argumentsAfterProgramName(std::string_view commandLine) {
  std::size_t end = 0;
  if (commandLine.starts_with('"')) {
    const std::size_t closing = commandLine.find('"', 1);
    end = closing == std::string_view::npos ? commandLine.size() : closing + 1;
  } else {
    end = std::min(commandLine.find_first_of(kBlanks), commandLine.size());
  }
  const std::size_t arguments = commandLine.find_first_not_of(kBlanks, end);
  return arguments == std::string_view::npos ? std::string()
                                             : std::string(commandLine.substr(arguments));
}

}  // namespace kiv
