#include "systemd_quoting.h"

#include <algorithm>

#include "base/hex_digits.h"

namespace kiv::ctl {
namespace {

bool isControl(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

std::string hexEscape(char c) {
  return "\\x" + hexDigits(static_cast<unsigned char>(c), 2, HexLetters::Lower);
}

// systemd refuses quotes, backslashes and control characters in the name of
// the program it starts. It would also expand "$" in the program's argument 0,
// though not in the path it starts, so the two would differ.
bool refusedInProgramName(char c) {
  return isControl(c) || c == '"' || c == '\'' || c == '\\' || c == '$';
}

// Read before the program's name, even when they stand inside its quotes.
constexpr std::string_view kPrefixCharacters = "-@:+!";

std::optional<std::string> programProblem(std::string_view program) {
  const std::string subject = "its program \"" + std::string(program) + "\" ";
  if (std::ranges::any_of(program, refusedInProgramName)) {
    return subject +
           "holds a quote, a backslash, a \"$\" or a control character, which systemd does not "
           "take in the name of a program";
  }
  const bool absolute = program.starts_with('/') && !program.ends_with('/');
  const bool bare = !program.empty() && program.find('/') == std::string_view::npos &&
                    program != "." && program != "..";
  if (!absolute && !bare) {
    return subject + "is neither an absolute path nor a program name without a folder";
  }
  if (bare && kPrefixCharacters.find(program.front()) != std::string_view::npos) {
    return subject + "begins with \"" + program.front() + "\", which systemd reads as a prefix";
  }
  return std::nullopt;
}

// In double quotes systemd takes "\\" and "\"" as escapes and any other
// character as it stands, but it replaces specifiers ("%%" is "%") in every
// word and variables ("$$" is "$") in every argument when it starts the
// program. A control character would break the line, so it is escaped too.
// The program's own name holds no "$" (execStartProblem refuses it), where
// "$$" would stay two characters.
std::string quotedWord(std::string_view text) {
  std::string word = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') {
      word += '\\';
      word += c;
    } else if (c == '%' || c == '$') {
      word.append(2, c);
    } else if (isControl(c)) {
      word += hexEscape(c);
    } else {
      word += c;
    }
  }
  return word + '"';
}

}  // namespace

std::optional<std::string> execStartProblem(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return std::string("its command line names no program");
  if (auto problem = programProblem(arguments.front())) return problem;
  const auto holdsNul = [](const std::string& argument) {
    return argument.find('\0') != std::string::npos;
  };
  if (std::ranges::any_of(arguments, holdsNul)) {
    return std::string("its command line holds a NUL character, which no program can receive");
  }
  return std::nullopt;
}

std::string execStartValue(const std::vector<std::string>& arguments) {
  std::string value;
  for (const std::string& argument : arguments) {
    if (!value.empty()) value += ' ';
    value += quotedWord(argument);
  }
  return value;
}

std::string plainSettingValue(std::string_view text) {
  std::string value;
  for (const char c : text) {
    if (c == '%') {
      value += "%%";
    } else if (isControl(c)) {
      value += hexEscape(c);
    } else {
      value += c;
    }
  }
  return value;
}

}  // namespace kiv::ctl
