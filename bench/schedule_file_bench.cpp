// Loading and saving a full schedule through the real file layer: the save
// writes a temporary file, flushes it to the disk and renames it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "posix/posix_file_storage.h"
#include "schedule_file/schedule_file_io.h"

namespace {

namespace fs = std::filesystem;

kiv::TaskTable fullSchedule() {
  kiv::TaskTable tasks;
  for (int index = 0; index < kiv::kTaskCount; ++index) {
    kiv::Task& task = tasks[index];
    task.TaskName = "Nightly compact of the orders database " + std::to_string(index + 1);
    task.LaunchAt = "02:00:00";
    task.Password = "correct horse battery staple";
    task.Macro = "NightlyExport";
    task.AccessLocation = "/opt/office/access/msaccess.exe";
    task.DatabaseLocation = "/srv/databases/orders/orders-" + std::to_string(index + 1) + ".mdb";
    task.SecurityFileLocation = "/srv/databases/orders/secure.mdw";
    task.Compiled = 1;
  }
  return tasks;
}

fs::path benchFile() {
  return fs::temp_directory_path() / ("kiv-bench-" + std::to_string(::getpid()) + ".kiv");
}

void saveFullSchedule(benchmark::State& state) {
  const kiv::TaskTable tasks = fullSchedule();
  const fs::path file = benchFile();
  kiv::posix::PosixFileStorage storage;
  for (auto _ : state) {
    if (const auto written = kiv::writeScheduleFile(file, tasks, storage); !written) {
      state.SkipWithError(written.error().description.c_str());
      break;
    }
  }
  fs::remove(file);
}

void loadFullSchedule(benchmark::State& state) {
  const fs::path file = benchFile();
  kiv::posix::PosixFileStorage storage;
  if (!kiv::writeScheduleFile(file, fullSchedule(), storage)) {
    state.SkipWithError("could not write the schedule to load");
    return;
  }
  for (auto _ : state) {
    auto loaded = kiv::readScheduleFile(file, storage);
    if (!loaded) {
      state.SkipWithError(loaded.error().description.c_str());
      break;
    }
    kiv::TaskTable tasks;
    kiv::applyLoadedTasks(loaded.value(), tasks);
    benchmark::DoNotOptimize(tasks);
  }
  fs::remove(file);
}

BENCHMARK(saveFullSchedule)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(loadFullSchedule)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace
