// Writes the schedule file an end-to-end test starts kiv with: task 1 compiled
// to start PROGRAM on DATABASE with a workgroup file, an account, exclusive
// opening and a macro, at LAUNCH_AT every day, closing kiv after the launch.
//
//   kiv_e2e_scheduled_task SCHEDULE PROGRAM DATABASE WORKGROUP LAUNCH_AT

#include <cstdlib>
#include <iostream>

#include "posix/posix_file_storage.h"
#include "schedule_file/schedule_file_io.h"
#include "tasks/task.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::cerr << "usage: kiv_e2e_scheduled_task SCHEDULE PROGRAM DATABASE WORKGROUP LAUNCH_AT\n";
    return EXIT_FAILURE;
  }
  kiv::TaskTable tasks;
  for (kiv::Task& task : tasks) kiv::resetStoredFields(task);
  kiv::Task& task = tasks[0];
  task.TaskName = "End-to-end launch";
  task.LaunchAt = argv[5];
  task.Username = "Admin";
  task.Password = "s3cret";
  task.Version = 4;  // 2002: the workgroup file goes with /wrkgrp
  task.Action = 1;   // Macro
  task.Macro = "Nightly Run";
  task.AccessLocation = argv[2];
  task.DatabaseLocation = argv[3];
  task.SecurityFileLocation = argv[4];
  task.OpenExclusively = 1;
  task.CloseAfterRunning = 1;
  task.Compiled = 1;

  kiv::posix::PosixFileStorage storage;
  const auto written = kiv::writeScheduleFile(argv[1], tasks, storage);
  if (!written) {
    std::cerr << "kiv_e2e_scheduled_task: " << written.error().description << '\n';
    return EXIT_FAILURE;
  }
  return EXIT_SUCCESS;
}
