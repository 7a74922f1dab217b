// "kivctl next --count 1000" over a year on 30 recurring tasks, file reading,
// the time zone's rules and output included. Goal: at most 50 ms.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>

#include "kivctl_bench_schedule.h"
#include "next_command.h"
#include "posix/local_clock.h"
#include "posix/posix_file_storage.h"
#include "schedule_file/schedule_file_io.h"
#include "scheduler/date_time_text.h"
#include "scheduler/next_launches.h"

namespace {

void nextThousandLaunchesOverAYear(benchmark::State& state) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / "kivctl_next_bench.kiv";
  const kiv::TaskTable tasks = kiv::bench::recurringSchedule(15);
  kiv::posix::PosixFileStorage storage;
  if (!kiv::writeScheduleFile(file, tasks, storage)) {
    state.SkipWithError("the schedule could not be written");
    return;
  }
  const kiv::LocalTime from = kiv::parseDateTime("2026-01-01 00:00:00").value();
  const kiv::LocalTime until = kiv::parseDateTime("2026-12-31 23:59:59").value();
  const kiv::Forecast forecast = kiv::forecastLaunches(tasks, {from, 1000, until});
  // Shows that the thousand launches really take most of the year.
  state.counters["launches"] = static_cast<double>(forecast.launches.size());
  state.counters["days spanned"] = static_cast<double>(
      std::chrono::floor<std::chrono::days>(forecast.launches.back().at - from).count());

  const kiv::posix::SystemLocalZone zone;
  for (auto _ : state) {
    std::ostringstream out;
    std::ostringstream err;
    benchmark::DoNotOptimize(
        kiv::ctl::nextCommand(file.string(), {from, 1000, until, &zone}, true, out, err));
    benchmark::DoNotOptimize(out.str().size());
  }
  std::filesystem::remove(file);
}

BENCHMARK(nextThousandLaunchesOverAYear)->Unit(benchmark::kMillisecond);

}  // namespace
