#include "schedule_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "os_services.h"
#include "schedule_file/schedule_encoder.h"
#include "schedule_file/schedule_file_io.h"

namespace kiv::testing {

void writeSchedule(const std::filesystem::path& file, const TaskTable& tasks) {
  const auto written = writeScheduleFile(file, tasks, ctl::scheduleStorage());
  ASSERT_TRUE(written) << written.error().description;
}

std::vector<std::uint8_t> oldLayoutFile(const TaskTable& tasks, ScheduleLayout layout) {
  const ScheduleBytes current = encodeSchedule(tasks).value();
  const LayoutShape& shape = *std::ranges::find(kOldLayouts, layout, &LayoutShape::layout);
  std::vector<std::uint8_t> bytes;
  for (int task = 0; task < shape.taskCount; ++task) {
    for (std::size_t slot = shape.firstSlot; slot < kTaskSlots.size(); ++slot) {
      const std::size_t start =
          (static_cast<std::size_t>(task) * kTaskSlots.size() + slot) * kSlotSize;
      const auto from = current.begin() + static_cast<std::ptrdiff_t>(start);
      bytes.insert(bytes.end(), from, from + static_cast<std::ptrdiff_t>(kSlotSize));
    }
  }
  bytes.resize(layoutFileLength(shape));
  return bytes;
}

TaskTable variedTasks() {
  TaskTable tasks;
  for (int t = 0; t < kTaskCount; ++t) {
    Task& task = tasks.at(t);
    const std::string n = std::to_string(t + 1);
    task.TaskName = t % 4 == 3 ? "" : "Nächtlich " + n + " \"€\"";
    task.LaunchAt = t % 3 == 0 ? "0" + std::to_string(t % 10) + ":15:?" + std::to_string(t % 7 + 1)
                               : std::to_string(10 + t % 14) + ":30:0" + std::to_string(t % 10);
    task.Username = t % 5 == 0 ? "" : "user" + n;
    task.Password = t % 2 == 0 ? "" : "pw\\" + n;
    task.Version = static_cast<std::uint8_t>(t % 6);
    task.Action = static_cast<std::uint8_t>(t % 5);
    task.Macro = t % 7 == 1 ? "" : "Macro " + n;
    task.AccessLocation = t == 6 ? "" : "C:\\Office\\MSACCESS" + n + ".EXE";
    task.DatabaseLocation = "D:\\Data\\Orders " + n + ".mdb";
    task.SecurityFileLocation = t % 3 == 1 ? "" : "D:\\Data\\Secure" + n + ".mdw";
    task.DaysToRunOn = static_cast<std::uint8_t>(t % 14);
    task.OpenExclusively = static_cast<std::uint8_t>(t % 3);
    task.CloseAfterRunning = static_cast<std::uint8_t>((t + 1) % 3);
    task.Compiled = static_cast<std::uint8_t>(t % 2 == 0 || t % 5 == 1 ? 1 : 0);
    if (t % 4 == 1) {
      task.Options = {std::chrono::minutes{t * 40}, std::chrono::minutes{t + 1},
                      std::chrono::hours{t * 5 + 1}, t % 3 * 33,
                      t % 8 == 1 ? "/srv/copies/task " + std::to_string(t + 1) + " \u00E9t\u00E9"
                                 : std::string()};
    } else if (t % 4 == 2) {
      task.Options.timeLimit = kLongestTimeLimit;
    }
  }
  return tasks;
}

}  // namespace kiv::testing
