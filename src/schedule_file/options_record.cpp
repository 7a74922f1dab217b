#include "schedule_file/options_record.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "schedule_file/crc32.h"
#include "schedule_file/schedule_layout.h"

namespace kiv {
namespace {

constexpr std::array<std::uint8_t, 4> kTag{'K', 'v', 'O', 'p'};
constexpr std::uint8_t kFormat = 1;
constexpr std::size_t kFormatAt = 4;
constexpr std::size_t kValuesLengthAt = 5;
constexpr std::size_t kValuesAt = 6;
constexpr std::size_t kWaitAt = kValuesAt;
constexpr std::size_t kTimeLimitAt = kValuesAt + 2;
constexpr std::size_t kCatchUpAt = kValuesAt + 4;
// The first version's values end here; the copies follow.
constexpr std::size_t kFirstValuesLength = 5;
constexpr std::size_t kBackupsAt = kValuesAt + kFirstValuesLength;
constexpr std::size_t kFolderLengthAt = kBackupsAt + 1;
constexpr std::size_t kFolderAt = kFolderLengthAt + 1;
constexpr std::size_t kCopiesValuesLength = kFolderAt - kValuesAt;
constexpr std::size_t kCrcSize = 4;

static_assert(kFolderAt + kCrcSize == kShortestOptionsRecord);
static_assert(kLongestBackupFolder <= 0xFF);
// The longest record still fits the padding of the Version slot.
static_assert(kLongestOptionsRecord <= kSlotSize - 1);

std::uint16_t readUint16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t readUint32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(readUint16(bytes, at)) |
         static_cast<std::uint32_t>(readUint16(bytes, at + 2)) << 16;
}

template <std::size_t Size>
void writeLittleEndian(std::vector<std::uint8_t>& record, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < Size; ++i) {
    record[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

// The range a user may set, or the reason the value is outside it.
struct OptionCheck {
  std::string_view name;
  long long value;
  long long lowest;
  long long highest;
  std::string_view unit;
};

std::array<OptionCheck, 4> optionChecks(const TaskOptions& options) {
  return {{
      {"the wait of", options.wait.count(), 0, kLongestWait.count(), "minutes"},
      {"the time limit of", options.timeLimit.value_or(kShortestTimeLimit).count(),
       kShortestTimeLimit.count(), kLongestTimeLimit.count(), "minutes"},
      {"the catch-up window of", options.catchUp.value_or(kShortestCatchUp).count(),
       kShortestCatchUp.count(), kLongestCatchUp.count(), "hours"},
      {"keeping", options.backups, 0, kMostBackups, "copies"},
  }};
}

bool inRange(const TaskOptions& options) {
  return std::ranges::all_of(optionChecks(options), [](const OptionCheck& check) {
    return check.value >= check.lowest && check.value <= check.highest;
  });
}

// The backup folder's bytes as the record holds them, or why it cannot.
Result<std::string, FileError> storedBackupFolder(std::string_view folder,
                                                  const CodePage& codePage) {
  Result<std::string, EncodeFailure> encoded = codePage.encode(folder);
  if (!encoded) {
    return FileError{
        encodeFailureNumber(encoded.error()),
        "in the backup folder, " + describeEncodeFailure(encoded.error(), codePage.name())};
  }
  if (encoded.value().size() > kLongestBackupFolder) {
    return FileError{file_error::kValueOutOfRange,
                     "the backup folder takes " + std::to_string(encoded.value().size()) +
                         " bytes in the " + codePage.name() + " code page; at most " +
                         std::to_string(kLongestBackupFolder) + " can be stored."};
  }
  return std::move(encoded).value();
}

// The copies' values of a record whose values are `valuesLength` bytes, or
// nothing when they are cut short.
std::optional<std::pair<int, std::string>> readCopies(std::span<const std::uint8_t> padding,
                                                      std::size_t valuesLength,
                                                      const CodePage& codePage) {
  if (valuesLength == kFirstValuesLength) return std::pair{TaskOptions{}.backups, std::string()};
  if (valuesLength < kCopiesValuesLength ||
      padding[kFolderLengthAt] > valuesLength - kCopiesValuesLength) {
    return std::nullopt;
  }
  const auto folder = padding.subspan(kFolderAt, padding[kFolderLengthAt]);
  return std::pair{static_cast<int>(padding[kBackupsAt]),
                   codePage.decode(std::string(folder.begin(), folder.end()))};
}

}  // namespace

FileResult<std::vector<std::uint8_t>> optionsRecord(const TaskOptions& options, int taskIndex,
                                                    const CodePage& codePage) {
  if (auto fits = checkOptions(options, taskIndex); !fits) return fits.error();
  Result<std::string, FileError> folder = storedBackupFolder(options.backupFolder, codePage);
  if (!folder) {
    return taskFieldError(folder.error().number, taskIndex, "Options", folder.error().description);
  }
  std::vector<std::uint8_t> record(kShortestOptionsRecord + folder.value().size());
  std::ranges::copy(kTag, record.begin());
  record[kFormatAt] = kFormat;
  record[kValuesLengthAt] = static_cast<std::uint8_t>(kCopiesValuesLength + folder.value().size());
  writeLittleEndian<2>(record, kWaitAt, static_cast<std::uint32_t>(options.wait.count()));
  writeLittleEndian<2>(
      record, kTimeLimitAt,
      static_cast<std::uint32_t>(options.timeLimit.value_or(std::chrono::minutes{0}).count()));
  record[kCatchUpAt] =
      static_cast<std::uint8_t>(options.catchUp.value_or(std::chrono::hours{0}).count());
  record[kBackupsAt] = static_cast<std::uint8_t>(options.backups);
  record[kFolderLengthAt] = static_cast<std::uint8_t>(folder.value().size());
  std::ranges::copy(folder.value(), record.begin() + kFolderAt);
  const std::size_t crcAt = record.size() - kCrcSize;
  writeLittleEndian<4>(record, crcAt, crc32(std::span(record).first(crcAt)));
  return record;
}

TaskOptions readOptionsRecord(std::span<const std::uint8_t> padding, const CodePage& codePage) {
  if (padding.size() < kValuesAt || !std::equal(kTag.begin(), kTag.end(), padding.begin()) ||
      padding[kFormatAt] != kFormat || padding[kValuesLengthAt] < kFirstValuesLength) {
    return {};
  }
  const std::size_t valuesLength = padding[kValuesLengthAt];
  const std::size_t crcAt = kValuesAt + valuesLength;
  if (crcAt + kCrcSize > padding.size() ||
      readUint32(padding, crcAt) != crc32(padding.first(crcAt))) {
    return {};
  }
  auto copies = readCopies(padding, valuesLength, codePage);
  if (!copies) return {};
  TaskOptions options;
  options.wait = std::chrono::minutes{readUint16(padding, kWaitAt)};
  if (const std::uint16_t limit = readUint16(padding, kTimeLimitAt); limit != 0) {
    options.timeLimit = std::chrono::minutes{limit};
  }
  if (const std::uint8_t hours = padding[kCatchUpAt]; hours != 0) {
    options.catchUp = std::chrono::hours{hours};
  }
  options.backups = copies->first;
  options.backupFolder = std::move(copies->second);
  return inRange(options) ? options : TaskOptions{};
}

Result<void, FileError> checkOptions(const TaskOptions& options, int taskIndex) {
  for (const OptionCheck& check : optionChecks(options)) {
    if (check.value >= check.lowest && check.value <= check.highest) continue;
    return taskFieldError(file_error::kValueOutOfRange, taskIndex, "Options",
                          std::string(check.name) + " " + std::to_string(check.value) + " " +
                              std::string(check.unit) + " is not one of " +
                              std::to_string(check.lowest) + " to " +
                              std::to_string(check.highest) + " " + std::string(check.unit) + ".");
  }
  return {};
}

std::optional<FileError> backupFolderProblem(std::string_view folder, const CodePage& codePage) {
  Result<std::string, FileError> stored = storedBackupFolder(folder, codePage);
  if (stored) return std::nullopt;
  return stored.error();
}

}  // namespace kiv
