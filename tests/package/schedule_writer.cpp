// Writes a schedule file whose task 1 has a name and nothing else: the
// schedule an installed Kiv opens at log-on in the installer's test.
//
//   kiv_package_schedule_writer SCHEDULE TASK_NAME

#include <cstdlib>
#include <iostream>

#include "schedule_file/schedule_file_io.h"
#include "tasks/task.h"
#include "win32_file_storage.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: kiv_package_schedule_writer SCHEDULE TASK_NAME\n";
    return EXIT_FAILURE;
  }
  kiv::TaskTable tasks;
  for (kiv::Task& task : tasks) kiv::resetStoredFields(task);
  tasks[0].TaskName = argv[2];
  kiv::Win32FileStorage storage;
  const auto written = kiv::writeScheduleFile(argv[1], tasks, storage);
  if (!written) {
    std::cerr << "kiv_package_schedule_writer: " << written.error().description << '\n';
    return EXIT_FAILURE;
  }
  return EXIT_SUCCESS;
}
