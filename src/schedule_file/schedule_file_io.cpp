#include "schedule_file/schedule_file_io.h"

#include "schedule_file/file_bytes.h"
#include "schedule_file/schedule_encoder.h"

namespace kiv {

FileResult<LoadedSchedule> readScheduleFile(const std::filesystem::path& path, FileStorage& storage,
                                            const CodePage& codePage) {
  // One byte past the current layout is enough to tell every length apart that
  // decides the layout; what lies further never reaches a task.
  FileResult<std::vector<std::uint8_t>> bytes = storage.readFile(path, kCurrentFileLength + 1);
  if (!bytes) return bytes.error();
  return decodeSchedule(bytes.value(), codePage);
}

Result<void, FileError> writeScheduleFile(const std::filesystem::path& path, const TaskTable& tasks,
                                          FileStorage& storage, const CodePage& codePage) {
  FileResult<ScheduleBytes> bytes = encodeSchedule(tasks, codePage);
  if (!bytes) return bytes.error();
  return writeFileSafely(path, bytes.value(), storage);
}

}  // namespace kiv
