#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "schedule_file/code_page.h"
#include "schedule_file/file_error.h"
#include "schedule_file/schedule_layout.h"
#include "tasks/task.h"

namespace kiv {

// What a schedule file holds: its layout and its tasks, task 1 first.
struct LoadedSchedule {
  ScheduleLayout layout = ScheduleLayout::Current;
  // 30 tasks, or 20 for the old layouts; every stored field set (TaskName
  // empty for FormatA), CommandLine empty.
  std::vector<Task> tasks;
};

// Reads any bytes without reading outside them. The layout comes from the
// length; slots beyond the end read as empty texts and zeros, and a text cut
// off by the end keeps the bytes that are there. Padding is ignored but for the
// options record of the current layout; a task without a valid one gets the
// default options, and so does every task of the older layouts. Fails as
// a whole, naming the task and the field, for a text slot whose length field
// exceeds 126 (kSlotTooLong), a password slot that does not unscramble
// (kPasswordNotDigits, kPasswordCodeOutOfRange), or a byte value the window
// cannot show (kValueOutOfRange).
FileResult<LoadedSchedule> decodeSchedule(std::span<const std::uint8_t> bytes,
                                          const CodePage& codePage = windows1252CodePage());

// Overwrites the stored fields of the tasks the file held; the others keep what
// they had, and so does every CommandLine, which only showing a task rebuilds.
void applyLoadedTasks(const LoadedSchedule& loaded, TaskTable& tasks);

// What the user is told on opening a schedule of an older layout.
std::string oldLayoutNotice();

}  // namespace kiv
