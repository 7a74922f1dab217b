// Writes the sample schedules that kivctl.exe and the Linux kivctl are both
// asked about, into the folder named by its one argument: every layout, the
// varied tasks and the defaults.
#include <filesystem>
#include <iostream>

#include "schedule_files.h"
#include "support/temp_folder.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: kiv_schedule_samples FOLDER\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const kiv::TaskTable varied = kiv::testing::variedTasks();
  kiv::testing::writeSchedule(folder / "varied.kiv", varied);
  kiv::testing::writeSchedule(folder / "defaults.kiv", kiv::TaskTable{});
  kiv::testing::writeAll(folder / "format-a.kiv",
                         kiv::testing::oldLayoutFile(varied, kiv::ScheduleLayout::FormatA));
  kiv::testing::writeAll(folder / "format-b.kiv",
                         kiv::testing::oldLayoutFile(varied, kiv::ScheduleLayout::FormatB));
  return 0;
}
