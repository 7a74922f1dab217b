#include "command_arguments.h"

#include <algorithm>

namespace kiv {
namespace {

constexpr std::string_view kBlanks = " \t";

// Where the program's name ends, its closing quotation mark included.
std::size_t nameEnd(std::string_view commandLine) {
  if (!commandLine.starts_with('"')) {
    return std::min(commandLine.find_first_of(kBlanks), commandLine.size());
  }
  const std::size_t closing = commandLine.find('"', 1);
  return closing == std::string_view::npos ? commandLine.size() : closing + 1;
}

}  // namespace

std::string programName(std::string_view commandLine) {
  std::string_view name = commandLine.substr(0, nameEnd(commandLine));
  if (name.starts_with('"')) name.remove_prefix(1);
  if (name.ends_with('"')) name.remove_suffix(1);
  return std::string(name);
}

std::string argumentsAfterProgramName(std::string_view commandLine) {
  const std::size_t arguments = commandLine.find_first_not_of(kBlanks, nameEnd(commandLine));
  return arguments == std::string_view::npos ? std::string()
                                             : std::string(commandLine.substr(arguments));
}

}  // namespace kiv
