#include "schedule_file/schedule_encoder.h"

#include <algorithm>
#include <string>

#include "schedule_file/options_record.h"
#include "schedule_file/password_scrambling.h"

namespace kiv {
namespace {

constexpr std::size_t kScrambledBytesPerCharacter = 3;

struct FieldPlace {
  int taskIndex;
  const FieldSlot& slot;
  const CodePage& codePage;
};

FileError fieldError(const FieldPlace& place, int number, std::string_view what) {
  return taskFieldError(number, place.taskIndex, place.slot.name, what);
}

// The bytes a text or password slot stores after its length field.
FileResult<std::string> storedText(const FieldPlace& place, const std::string& held) {
  Result<std::string, EncodeFailure> codePage = place.codePage.encode(held);
  if (!codePage) {
    const EncodeFailure& failure = codePage.error();
    return fieldError(place, encodeFailureNumber(failure),
                      describeEncodeFailure(failure, place.codePage.name()));
  }
  if (place.slot.kind == SlotKind::Password) {
    const std::size_t characters = codePage.value().size();
    if (characters * kScrambledBytesPerCharacter > kMaxTextBytes) {
      return fieldError(place, file_error::kTextTooLong,
                        "the password has " + std::to_string(characters) + " characters; at most " +
                            std::to_string(kMaxTextBytes / kScrambledBytesPerCharacter) +
                            " can be stored.");
    }
    return fctnEncrypt(codePage.value());
  }
  if (codePage.value().size() > kMaxTextBytes) {
    return fieldError(place, file_error::kTextTooLong,
                      "the text takes " + std::to_string(codePage.value().size()) +
                          " bytes; a field holds at most " + std::to_string(kMaxTextBytes) + ".");
  }
  return std::move(codePage).value();
}

Result<void, FileError> writeSlot(const FieldPlace& place, const Task& task,
                                  ScheduleBytes::iterator slotStart) {
  if (place.slot.kind == SlotKind::Byte) {
    const std::uint8_t value = task.*place.slot.byte;
    if (auto fits = checkByteValue(place.slot, place.taskIndex, value); !fits) return fits;
    *slotStart = value;
    return {};
  }
  FileResult<std::string> text = storedText(place, task.*place.slot.text);
  if (!text) return text.error();
  const std::size_t length = text.value().size();
  slotStart[0] = static_cast<std::uint8_t>(length & 0xFF);
  slotStart[1] = static_cast<std::uint8_t>(length >> 8);
  std::copy(text.value().begin(), text.value().end(), slotStart + kTextLengthSize);
  return {};
}

}  // namespace

FileResult<ScheduleBytes> encodeSchedule(const TaskTable& tasks, const CodePage& codePage) {
  // The whole file but the last slot's padding, zeroed: the padding is
  // already in place and only the data is written.
  ScheduleBytes bytes(kCurrentFileLength, 0);
  std::size_t offset = 0;
  for (int taskIndex = 0; taskIndex < kTaskCount; ++taskIndex) {
    const TaskOptions& options = tasks[taskIndex].Options;
    // Default options leave the padding zero, so such a file is the same,
    // byte for byte, as one written before tasks had options.
    if (options != TaskOptions{}) {
      const FileResult<std::vector<std::uint8_t>> record =
          optionsRecord(options, taskIndex, codePage);
      if (!record) return record.error();
      std::ranges::copy(record.value(), bytes.begin() + offset + kOptionsSlot * kSlotSize + 1);
    }
    for (const FieldSlot& slot : kTaskSlots) {
      const FieldPlace place{taskIndex, slot, codePage};
      if (auto written = writeSlot(place, tasks[taskIndex], bytes.begin() + offset); !written) {
        return written.error();
      }
      offset += kSlotSize;
    }
  }
  return bytes;
}

}  // namespace kiv
