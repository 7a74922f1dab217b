#include "stand_in_record.h"

#include <algorithm>
#include <charconv>

namespace kiv {
namespace {

// Takes one line off the front of text, without its newline; nullopt when no
// newline is left.
std::optional<std::string_view> takeLine(std::string_view& text) {
  const std::size_t end = text.find('\n');
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(end + 1);
  return line;
}

// Takes "<length> <bytes>\n" off the front of text, the rest of an "arg" line.
std::optional<std::string> takeArgument(std::string_view& text) {
  std::size_t length = 0;
  const auto [afterLength, error] = std::from_chars(text.data(), text.data() + text.size(), length);
  const std::size_t start = static_cast<std::size_t>(afterLength - text.data()) + 1;
  if (error != std::errc() || start + length >= text.size() || text[start - 1] != ' ' ||
      text[start + length] != '\n') {
    return std::nullopt;
  }
  std::string argument(text.substr(start, length));
  text.remove_prefix(start + length + 1);
  return argument;
}

}  // namespace

std::optional<StandInRecord> parseStandInRecord(std::string_view text) {
  if (takeLine(text) != "launch") return std::nullopt;
  StandInRecord record;
  while (true) {
    if (text.starts_with("arg ")) {
      text.remove_prefix(4);
      std::optional<std::string> argument = takeArgument(text);
      if (!argument) return std::nullopt;
      record.arguments.push_back(std::move(*argument));
      continue;
    }
    const std::optional<std::string_view> line = takeLine(text);
    if (!line) return std::nullopt;
    if (*line == "end") return record;
    const std::size_t blank = std::min(line->find(' '), line->size());
    record.fields[std::string(line->substr(0, blank))] =
        blank < line->size() ? std::string(line->substr(blank + 1)) : "";
  }
}

}  // namespace kiv
