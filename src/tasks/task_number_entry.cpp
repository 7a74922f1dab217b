#include "tasks/task_number_entry.h"

#include <charconv>
#include <cmath>

#include "tasks/task.h"

namespace kiv {
namespace {

std::string_view trimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Plain decimal notation only: digits with an optional sign and fraction.
std::optional<double> parseDecimal(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.find_first_not_of("-0123456789.") != std::string_view::npos) {
    return std::nullopt;
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<int> taskIndexFromEntry(std::string_view entry) {
  const auto number = parseDecimal(trimBlanks(entry));
  if (!number || *number < 1 || *number > kTaskCount) return std::nullopt;
  // The default floating-point rounding mode rounds halves to even.
  return static_cast<int>(std::nearbyint(*number - 1));
}

}  // namespace kiv
