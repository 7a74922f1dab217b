#include "schedule_file/schedule_layout.h"

#include <algorithm>
#include <string>

namespace kiv {

const LayoutShape& layoutOfLength(std::size_t fileLength) {
  const auto* old = std::find_if(kOldLayouts.begin(), kOldLayouts.end(), [&](const auto& shape) {
    return layoutFileLength(shape) == fileLength;
  });
  return old != kOldLayouts.end() ? *old : kCurrentLayout;
}

Result<void, FileError> checkByteValue(const FieldSlot& slot, int taskIndex, std::uint8_t value) {
  if (value <= slot.highest) return {};
  return taskFieldError(file_error::kValueOutOfRange, taskIndex, slot.name,
                        "the value " + std::to_string(value) + " is not one of 0 to " +
                            std::to_string(slot.highest) + ".");
}

}  // namespace kiv
