// Writes the benchmark schedule for "kivctl run" (bench/kivctl_run_idle.sh):
// 30 compiled recurring tasks, none due within the next half hour.
#include <iostream>

#include "kivctl_bench_schedule.h"
#include "posix/posix_file_storage.h"
#include "schedule_file/schedule_file_io.h"
#include "wall_clock.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: kivctl_bench_schedule FILE\n";
    return 2;
  }
  const int minuteNow = kiv::toCivil(kiv::ctl::localNow()).minute;
  const kiv::TaskTable tasks = kiv::bench::recurringSchedule((minuteNow + 30) % 60);
  kiv::posix::PosixFileStorage storage;
  if (const auto written = kiv::writeScheduleFile(argv[1], tasks, storage); !written) {
    std::cerr << "kivctl_bench_schedule: " << written.error().description << '\n';
    return 1;
  }
  return 0;
}
