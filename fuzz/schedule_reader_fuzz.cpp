// Every byte string either loads as a schedule or is refused with a message;
// nothing may crash, hang or trip a sanitizer. A schedule that loads must also
// save again, since the program never writes what it would refuse to read.
#include <cstddef>
#include <cstdint>
#include <span>

#include "schedule_file/schedule_decoder.h"
#include "schedule_file/schedule_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto loaded = kiv::decodeSchedule(std::span<const std::uint8_t>(data, size));
  if (!loaded) {
    if (loaded.error().description.empty()) __builtin_trap();
    return 0;
  }
  const std::size_t expectedTasks = loaded.value().layout == kiv::ScheduleLayout::Current ? 30 : 20;
  if (loaded.value().tasks.size() != expectedTasks) __builtin_trap();

  kiv::TaskTable table;
  kiv::applyLoadedTasks(loaded.value(), table);
  const auto saved = kiv::encodeSchedule(table);
  // Texts of any bytes decode to characters the code page has, and every
  // slot held at most 126 bytes, so the table always saves.
  if (!saved) __builtin_trap();
  const auto reloaded = kiv::decodeSchedule(saved.value());
  if (!reloaded) __builtin_trap();
  // Options read from any padding are in range, so they save and read back.
  for (std::size_t i = 0; i < reloaded.value().tasks.size(); ++i) {
    if (reloaded.value().tasks[i].Options != table.at(i).Options) __builtin_trap();
  }
  return 0;
}
