// The scheduler tick with 30 compiled tasks of which none is due: the work
// Kiv does every second of its life.
#include <benchmark/benchmark.h>

#include "bench_platform.h"
#include "form/main_form.h"

namespace {

void tickWithThirtyCompiledTasksNoneDue(benchmark::State& state) {
  kiv::bench::BenchPlatform platform;
  kiv::MainForm form(platform);
  form.Form_Load();
  for (int index = 0; index < kiv::kTaskCount; ++index) {
    kiv::Task& task = form.tasks[index];
    // Half fixed, half recurring; none falls in the first 22 hours of the day.
    task.LaunchAt = index % 2 == 0 ? "23:59:59" : "23:30:?1";
    task.AccessLocation = "/opt/db/access";
    task.DatabaseLocation = "/srv/orders.mdb";
    task.DaysToRunOn = static_cast<std::uint8_t>(index % 14);
    task.Compiled = 1;
  }
  platform.clock = kiv::fromCivil({2026, 12, 7, 0, 0, 0});
  for (auto _ : state) {
    platform.clock += std::chrono::seconds{1};
    form.Timer1_Timer();
  }
  benchmark::DoNotOptimize(form.KIV.caption());
}

// A fixed count keeps every tick inside the hours where nothing is due.
BENCHMARK(tickWithThirtyCompiledTasksNoneDue)
    ->Iterations(60000)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

}  // namespace
