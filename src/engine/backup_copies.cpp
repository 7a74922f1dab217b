#include "engine/backup_copies.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>

#include "base/utf8_path.h"

namespace kiv {
namespace {

// "2027-03-28 0200": the due minute as a copy's name holds it.
constexpr std::size_t kMinuteLength = 15;
constexpr std::string_view kMinuteShape = "dddd-dd-dd dddd";

struct NameParts {
  std::string stem;
  std::string extension;
};

NameParts partsOf(const std::string& fileName) {
  const std::filesystem::path name = pathFromUtf8(fileName);
  return {utf8FromPath(name.stem()), utf8FromPath(name.extension())};
}

bool hasMinuteShape(std::string_view text) {
  return text.size() == kMinuteLength &&
         std::ranges::equal(text, kMinuteShape, [](char c, char shape) {
           return shape == 'd' ? std::isdigit(static_cast<unsigned char>(c)) != 0 : c == shape;
         });
}

// " (2)" gives 2; nothing gives 1; anything else is no attempt number.
std::optional<int> attemptOf(std::string_view suffix) {
  if (suffix.empty()) return 1;
  if (suffix.size() < 4 || !suffix.starts_with(" (") || !suffix.ends_with(')')) return {};
  const std::string_view digits = suffix.substr(2, suffix.size() - 3);
  if (digits.size() > 6 || digits.front() == '0' ||
      !std::ranges::all_of(digits, [](char c) { return std::isdigit(c) != 0; })) {
    return {};
  }
  return std::stoi(std::string(digits));
}

// Where a copy's name sorts among its database's copies: by due minute,
// then by attempt.
std::optional<std::pair<std::string, int>> copyOrder(const std::string& candidate,
                                                     const NameParts& database) {
  const std::string prefix = database.stem + " ";
  if (candidate.size() < prefix.size() + kMinuteLength + database.extension.size() ||
      !candidate.starts_with(prefix) || !candidate.ends_with(database.extension)) {
    return {};
  }
  const std::string_view middle = std::string_view(candidate).substr(
      prefix.size(), candidate.size() - prefix.size() - database.extension.size());
  const std::string_view minute = middle.substr(0, kMinuteLength);
  const std::optional<int> attempt = attemptOf(middle.substr(kMinuteLength));
  if (!hasMinuteShape(minute) || !attempt) return {};
  return std::pair{std::string(minute), *attempt};
}

}  // namespace

std::string backupCopyName(const std::string& databaseName, LocalTime due, int attempt) {
  const NameParts parts = partsOf(databaseName);
  const CivilTime civil = toCivil(due);
  std::string name = parts.stem + " " + zeroPadded(civil.year, 4) + "-" +
                     zeroPadded(civil.month, 2) + "-" + zeroPadded(civil.day, 2) + " " +
                     zeroPadded(civil.hour, 2) + zeroPadded(civil.minute, 2);
  if (attempt > 1) name += " (" + std::to_string(attempt) + ")";
  return name + parts.extension;
}

std::vector<std::string> backupCopiesOf(const std::vector<std::string>& names,
                                        const std::string& databaseName) {
  const NameParts database = partsOf(databaseName);
  std::vector<std::pair<std::pair<std::string, int>, std::string>> copies;
  for (const std::string& name : names) {
    if (auto order = copyOrder(name, database)) copies.emplace_back(std::move(*order), name);
  }
  std::ranges::sort(copies, std::greater{});
  std::vector<std::string> newestFirst;
  newestFirst.reserve(copies.size());
  for (auto& copy : copies) newestFirst.push_back(std::move(copy.second));
  return newestFirst;
}

std::vector<std::string> copiesBeyond(const std::vector<std::string>& names,
                                      const std::string& databaseName, std::size_t keep) {
  std::vector<std::string> copies = backupCopiesOf(names, databaseName);
  copies.erase(copies.begin(),
               copies.begin() + static_cast<std::ptrdiff_t>(std::min(keep, copies.size())));
  return copies;
}

}  // namespace kiv
