#include "schedule_file/schedule_decoder.h"

#include <algorithm>
#include <string>
#include <utility>

#include "base/identity.h"
#include "schedule_file/options_record.h"
#include "schedule_file/password_scrambling.h"

namespace kiv {
namespace {

// Reads slots from the file's bytes; whatever lies beyond the end reads as
// absent, so a truncated file is never read out of bounds.
class SlotReader {
 public:
  explicit SlotReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint8_t byteAt(std::size_t offset) const {
    return offset < bytes_.size() ? bytes_[offset] : 0;
  }

  std::size_t textLength(std::size_t slotOffset) const {
    return byteAt(slotOffset) | static_cast<std::size_t>(byteAt(slotOffset + 1)) << 8;
  }

  // The padding of a byte slot, as far as it is present.
  std::span<const std::uint8_t> padding(std::size_t slotOffset) const {
    const std::size_t start = std::min(slotOffset + 1, bytes_.size());
    return bytes_.subspan(start, std::min(kSlotSize - 1, bytes_.size() - start));
  }

  // The text bytes that are present of a slot whose length is `length`.
  std::string textBytes(std::size_t slotOffset, std::size_t length) const {
    const std::size_t start = std::min(slotOffset + kTextLengthSize, bytes_.size());
    const std::size_t end = std::min(start + length, bytes_.size());
    return std::string(bytes_.begin() + start, bytes_.begin() + end);
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

struct FieldPlace {
  int taskIndex;
  const FieldSlot& slot;
  std::size_t offset;
  const CodePage& codePage;
};

// The held text of a text or password slot: code-page bytes turned to UTF-8,
// the password unscrambled first.
FileResult<std::string> readText(const SlotReader& reader, const FieldPlace& place) {
  const std::size_t length = reader.textLength(place.offset);
  if (length > kMaxTextBytes) {
    return taskFieldError(file_error::kSlotTooLong, place.taskIndex, place.slot.name,
                          "the slot says its text is " + std::to_string(length) +
                              " bytes long, but a slot holds at most " +
                              std::to_string(kMaxTextBytes) + ".");
  }
  std::string stored = reader.textBytes(place.offset, length);
  if (place.slot.kind != SlotKind::Password) return place.codePage.decode(stored);
  FileResult<std::string> plain = fctnDecrypt(stored);
  if (!plain) {
    return taskFieldError(plain.error().number, place.taskIndex, place.slot.name,
                          plain.error().description);
  }
  return place.codePage.decode(plain.value());
}

Result<void, FileError> readSlot(const SlotReader& reader, const FieldPlace& place, Task& task) {
  if (place.slot.kind == SlotKind::Byte) {
    const std::uint8_t value = reader.byteAt(place.offset);
    if (auto fits = checkByteValue(place.slot, place.taskIndex, value); !fits) return fits;
    task.*place.slot.byte = value;
    return {};
  }
  FileResult<std::string> text = readText(reader, place);
  if (!text) return text.error();
  task.*place.slot.text = std::move(text).value();
  return {};
}

}  // namespace

FileResult<LoadedSchedule> decodeSchedule(std::span<const std::uint8_t> bytes,
                                          const CodePage& codePage) {
  const LayoutShape& shape = layoutOfLength(bytes.size());
  const SlotReader reader(bytes);
  LoadedSchedule loaded{shape.layout, std::vector<Task>(static_cast<std::size_t>(shape.taskCount))};
  std::size_t offset = 0;
  for (int taskIndex = 0; taskIndex < shape.taskCount; ++taskIndex) {
    Task& task = loaded.tasks[static_cast<std::size_t>(taskIndex)];
    // The older layouts come from programs that knew no options.
    if (shape.layout == ScheduleLayout::Current) {
      task.Options = readOptionsRecord(reader.padding(offset + kOptionsSlot * kSlotSize), codePage);
    }
    for (std::size_t slot = shape.firstSlot; slot < kTaskSlots.size(); ++slot) {
      if (auto read = readSlot(reader, {taskIndex, kTaskSlots[slot], offset, codePage}, task);
          !read) {
        return read.error();
      }
      offset += kSlotSize;
    }
  }
  return loaded;
}

void applyLoadedTasks(const LoadedSchedule& loaded, TaskTable& tasks) {
  const std::size_t count = std::min(loaded.tasks.size(), tasks.size());
  for (std::size_t i = 0; i < count; ++i) {
    std::string commandLine = std::move(tasks[i].CommandLine);
    tasks[i] = loaded.tasks[i];
    tasks[i].CommandLine = std::move(commandLine);
  }
}

std::string oldLayoutNotice() {
  return "This schedule is from an old version of " + std::string(identity::kTitle) +
         "; conversion will be attempted. Next time you save the schedule, it will be saved in v" +
         std::to_string(identity::kMajor) + " format.";
}

}  // namespace kiv
