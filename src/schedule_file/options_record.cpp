#include "schedule_file/options_record.h"

#include <string>

#include "schedule_file/crc32.h"

namespace kiv {
namespace {

constexpr std::array<std::uint8_t, 4> kTag{'K', 'v', 'O', 'p'};
constexpr std::uint8_t kFormat = 1;
constexpr std::size_t kFormatAt = 4;
constexpr std::size_t kValuesLengthAt = 5;
constexpr std::size_t kValuesAt = 6;
constexpr std::uint8_t kFormat1ValuesLength = 5;
constexpr std::size_t kCrcSize = 4;

static_assert(kValuesAt + kFormat1ValuesLength + kCrcSize == kOptionsRecordSize);

std::uint16_t readUint16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t readUint32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(readUint16(bytes, at)) |
         static_cast<std::uint32_t>(readUint16(bytes, at + 2)) << 16;
}

template <std::size_t Size>
void writeLittleEndian(std::array<std::uint8_t, kOptionsRecordSize>& record, std::size_t at,
                       std::uint32_t value) {
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

std::array<OptionCheck, 3> optionChecks(const TaskOptions& options) {
  return {{
      {"the wait", options.wait.count(), 0, kLongestWait.count(), "minutes"},
      {"the time limit", options.timeLimit.value_or(kShortestTimeLimit).count(),
       kShortestTimeLimit.count(), kLongestTimeLimit.count(), "minutes"},
      {"the catch-up window", options.catchUp.value_or(kShortestCatchUp).count(),
       kShortestCatchUp.count(), kLongestCatchUp.count(), "hours"},
  }};
}

bool inRange(const TaskOptions& options) {
  for (const OptionCheck& check : optionChecks(options)) {
    if (check.value < check.lowest || check.value > check.highest) return false;
  }
  return true;
}

}  // namespace

std::array<std::uint8_t, kOptionsRecordSize> optionsRecord(const TaskOptions& options) {
  std::array<std::uint8_t, kOptionsRecordSize> record{};
  std::copy(kTag.begin(), kTag.end(), record.begin());
  record[kFormatAt] = kFormat;
  record[kValuesLengthAt] = kFormat1ValuesLength;
  writeLittleEndian<2>(record, kValuesAt, static_cast<std::uint32_t>(options.wait.count()));
  writeLittleEndian<2>(
      record, kValuesAt + 2,
      static_cast<std::uint32_t>(options.timeLimit.value_or(std::chrono::minutes{0}).count()));
  record[kValuesAt + 4] =
      static_cast<std::uint8_t>(options.catchUp.value_or(std::chrono::hours{0}).count());
  const std::size_t crcAt = kValuesAt + kFormat1ValuesLength;
  writeLittleEndian<4>(record, crcAt, crc32(std::span(record).first(crcAt)));
  return record;
}

TaskOptions readOptionsRecord(std::span<const std::uint8_t> padding) {
  if (padding.size() < kOptionsRecordSize ||
      !std::equal(kTag.begin(), kTag.end(), padding.begin()) || padding[kFormatAt] != kFormat ||
      padding[kValuesLengthAt] < kFormat1ValuesLength) {
    return {};
  }
  const std::size_t crcAt = kValuesAt + padding[kValuesLengthAt];
  if (crcAt + kCrcSize > padding.size() ||
      readUint32(padding, crcAt) != crc32(padding.first(crcAt))) {
    return {};
  }
  TaskOptions options;
  options.wait = std::chrono::minutes{readUint16(padding, kValuesAt)};
  if (const std::uint16_t limit = readUint16(padding, kValuesAt + 2); limit != 0) {
    options.timeLimit = std::chrono::minutes{limit};
  }
  if (const std::uint8_t hours = padding[kValuesAt + 4]; hours != 0) {
    options.catchUp = std::chrono::hours{hours};
  }
  return inRange(options) ? options : TaskOptions{};
}

Result<void, FileError> checkOptions(const TaskOptions& options, int taskIndex) {
  for (const OptionCheck& check : optionChecks(options)) {
    if (check.value >= check.lowest && check.value <= check.highest) continue;
    return taskFieldError(file_error::kValueOutOfRange, taskIndex, "Options",
                          std::string(check.name) + " of " + std::to_string(check.value) + " " +
                              std::string(check.unit) + " is not one of " +
                              std::to_string(check.lowest) + " to " +
                              std::to_string(check.highest) + " " + std::string(check.unit) + ".");
  }
  return {};
}

}  // namespace kiv
