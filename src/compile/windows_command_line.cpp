#include "compile/windows_command_line.h"

#include <algorithm>

namespace kiv {
namespace {

constexpr std::string_view kBlanks = " \t";

bool isBlank(char c) {
  return kBlanks.find(c) != std::string_view::npos;
}

std::size_t skipBlanks(std::string_view line, std::size_t pos) {
  return std::min(line.find_first_not_of(kBlanks, pos), line.size());
}

// Reads the program name starting at pos into name, by the C runtime's rule
// for it; returns where it ended.
std::size_t readProgramName(std::string_view line, std::size_t pos, std::string& name) {
  bool quoted = false;
  for (; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && isBlank(c)) {
      break;
    } else {
      name += c;
    }
  }
  return pos;
}

// Reads a run of backslashes starting at pos: halved and followed by a literal
// quote when a quote follows, kept as they are otherwise. A quote after an even
// run is left at the returned position for the caller to start or end quoting.
std::size_t readBackslashes(std::string_view line, std::size_t pos, std::string& argument) {
  const std::size_t end = std::min(line.find_first_not_of('\\', pos), line.size());
  const std::size_t run = end - pos;
  if (end == line.size() || line[end] != '"') {
    argument.append(run, '\\');
    return end;
  }
  argument.append(run / 2, '\\');
  if (run % 2 == 0) return end;
  argument += '"';
  return end + 1;
}

// Reads one argument after the program name starting at pos into argument;
// returns where it ended.
std::size_t readArgument(std::string_view line, std::size_t pos, std::string& argument) {
  bool quoted = false;
  while (pos < line.size()) {
    const char c = line[pos];
    if (c == '\\') {
      pos = readBackslashes(line, pos, argument);
    } else if (c == '"' && quoted && pos + 1 < line.size() && line[pos + 1] == '"') {
      argument += '"';
      pos += 2;
    } else if (c == '"') {
      quoted = !quoted;
      ++pos;
    } else if (!quoted && isBlank(c)) {
      break;
    } else {
      argument += c;
      ++pos;
    }
  }
  return pos;
}

}  // namespace

std::string windowsArgumentsAfterName(std::string_view commandLine) {
  std::string name;
  const std::size_t nameEnd = readProgramName(commandLine, skipBlanks(commandLine, 0), name);
  return std::string(commandLine.substr(skipBlanks(commandLine, nameEnd)));
}

std::vector<std::string> splitWindowsCommandLine(std::string_view commandLine) {
  std::vector<std::string> arguments;
  std::size_t pos = skipBlanks(commandLine, 0);
  if (pos == commandLine.size()) return arguments;
  pos = readProgramName(commandLine, pos, arguments.emplace_back());
  while ((pos = skipBlanks(commandLine, pos)) < commandLine.size()) {
    pos = readArgument(commandLine, pos, arguments.emplace_back());
  }
  return arguments;
}

std::string windowsProgramToStart(std::string_view commandLine) {
  const std::size_t pos = skipBlanks(commandLine, 0);
  if (pos == commandLine.size()) return "";
  if (commandLine[pos] == '"') {
    const std::size_t close = std::min(commandLine.find('"', pos + 1), commandLine.size());
    return std::string(commandLine.substr(pos + 1, close - pos - 1));
  }
  const std::size_t end = std::min(commandLine.find_first_of(kBlanks, pos), commandLine.size());
  return std::string(commandLine.substr(pos, end - pos));
}

WindowsStart windowsStartOf(std::string_view commandLine) {
  return {windowsProgramToStart(commandLine), splitWindowsCommandLine(commandLine)};
}

bool holdsNulCharacter(std::string_view commandLine) {
  return commandLine.find('\0') != std::string_view::npos;
}

}  // namespace kiv
