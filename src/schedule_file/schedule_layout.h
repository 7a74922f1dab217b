#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "schedule_file/file_error.h"
#include "tasks/task.h"
#include "tasks/value_lists.h"

namespace kiv {

// The schedule file is a run of 128-byte slots, one field in each. It has no
// header: a layout is known by the file's length alone.
inline constexpr std::size_t kSlotSize = 128;
// A text slot starts with a 2-byte little-endian length.
inline constexpr std::size_t kTextLengthSize = 2;
inline constexpr std::size_t kMaxTextBytes = kSlotSize - kTextLengthSize;

// A schedule file's bytes as a whole.
using ScheduleBytes = std::vector<std::uint8_t>;

// How one field is stored.
enum class SlotKind {
  Text,      // a text as held
  Password,  // the scrambled password, stored as a text
  Byte,      // one byte
};

struct FieldSlot {
  std::string_view name;  // names the field in failure messages
  SlotKind kind;
  std::string Task::*text = nullptr;   // Text and Password
  std::uint8_t Task::*byte = nullptr;  // Byte
  std::uint8_t highest = 0;            // Byte: the highest value the window can show
};

// A task's slots in the order the file stores them. OpenExclusively and
// CloseAfterRunning are check boxes, whose value 2 is the grey state.
inline constexpr std::array<FieldSlot, 14> kTaskSlots{{
    {"TaskName", SlotKind::Text, &Task::TaskName},
    {"LaunchAt", SlotKind::Text, &Task::LaunchAt},
    {"Username", SlotKind::Text, &Task::Username},
    {"Password", SlotKind::Password, &Task::Password},
    {"Version", SlotKind::Byte, nullptr, &Task::Version, kVersions.size() - 1},
    {"Action", SlotKind::Byte, nullptr, &Task::Action, kActions.size() - 1},
    {"Macro", SlotKind::Text, &Task::Macro},
    {"AccessLocation", SlotKind::Text, &Task::AccessLocation},
    {"DatabaseLocation", SlotKind::Text, &Task::DatabaseLocation},
    {"SecurityFileLocation", SlotKind::Text, &Task::SecurityFileLocation},
    {"DaysToRunOn", SlotKind::Byte, nullptr, &Task::DaysToRunOn, kDayPatterns.size() - 1},
    {"OpenExclusively", SlotKind::Byte, nullptr, &Task::OpenExclusively, 2},
    {"CloseAfterRunning", SlotKind::Byte, nullptr, &Task::CloseAfterRunning, 2},
    {"Compiled", SlotKind::Byte, nullptr, &Task::Compiled, 1},
}};

// The slot in whose padding a task's options are kept (see options_record.h):
// a byte slot, whose padding is 127 bytes, and never the file's last slot,
// which has none.
inline constexpr std::size_t kOptionsSlot = 4;
static_assert(kTaskSlots[kOptionsSlot].kind == SlotKind::Byte &&
              kTaskSlots[kOptionsSlot].name == "Version");

enum class ScheduleLayout {
  Current,  // 30 tasks of 14 slots; the only layout written
  FormatA,  // an old layout: 20 tasks of 13 slots, without TaskName
  FormatB,  // an old layout: 20 tasks of 14 slots
};

struct LayoutShape {
  ScheduleLayout layout;
  int taskCount;
  std::size_t firstSlot;  // index in kTaskSlots of a task's first stored slot
};

constexpr std::size_t slotsPerTask(const LayoutShape& shape) {
  return kTaskSlots.size() - shape.firstSlot;
}

// Every slot is full but the last, which ends right after its one byte.
constexpr std::size_t layoutFileLength(const LayoutShape& shape) {
  return (static_cast<std::size_t>(shape.taskCount) * slotsPerTask(shape) - 1) * kSlotSize + 1;
}

inline constexpr LayoutShape kCurrentLayout{ScheduleLayout::Current, kTaskCount, 0};
inline constexpr std::array<LayoutShape, 2> kOldLayouts{{
    {ScheduleLayout::FormatA, 20, 1},
    {ScheduleLayout::FormatB, 20, 0},
}};
inline constexpr std::size_t kCurrentFileLength = layoutFileLength(kCurrentLayout);

// FormatA or FormatB when the length is exactly theirs; the current layout for
// every other length, a truncated file included.
const LayoutShape& layoutOfLength(std::size_t fileLength);

// A kValueOutOfRange failure when a byte field holds a value the window cannot
// show; such a task would be shown wrongly and compose a command line that
// means something else.
Result<void, FileError> checkByteValue(const FieldSlot& slot, int taskIndex, std::uint8_t value);

}  // namespace kiv
