#pragma once

#include <filesystem>
#include <optional>

#include "schedule_file/file_error.h"
#include "schedule_file/file_storage.h"
#include "schedule_file/schedule_decoder.h"
#include "tasks/task.h"

namespace kiv {

// The reading step of opening a schedule: the file's layout and tasks, or the
// failure to show as number, ": " and description. Nothing is applied to any
// table here, so a refused file leaves the schedule in memory as it was.
FileResult<LoadedSchedule> readScheduleFile(const std::filesystem::path& path, FileStorage& storage,
                                            const CodePage& codePage = windows1252CodePage());

// The writing step of saving a schedule: the whole table in the current layout,
// replacing the file at `path` only once every byte is ready (see
// writeFileSafely). The failure is shown as its description alone.
Result<void, FileError> writeScheduleFile(const std::filesystem::path& path, const TaskTable& tasks,
                                          FileStorage& storage,
                                          const CodePage& codePage = windows1252CodePage());

}  // namespace kiv
