// Launch latency: from the second boundary a task is due at to the first
// instruction of the started program, over 30 launches, next to a bare
// posix_spawn of the same program made at the boundary itself. The scheduled
// path wakes the way the window program's tick does (aimed kTickMargin past
// the boundary), runs the tick, shows the task and starts it detached.
// Goal: the median within 5 ms of the bare spawn's.
//   kiv_launch_latency
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/main_form.h"
#include "bench_platform.h"
#include "posix/process_starter.h"
#include "scheduler/tick_delay.h"
#include "stand_in_record.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;
using Nanoseconds = std::chrono::nanoseconds;

constexpr int kLaunches = 30;

class LaunchingPlatform : public kiv::bench::BenchPlatform {
 public:
  kiv::StartResult startProcess(const std::string& commandLine) override {
    return kiv::posix::start(commandLine, children);
  }
  kiv::posix::ChildWatcher children;
};

Clock::time_point nextBoundary() {
  return std::chrono::ceil<std::chrono::seconds>(Clock::now() + std::chrono::milliseconds{200});
}

kiv::LocalTime localReading(Clock::time_point when) {
  const time_t seconds = Clock::to_time_t(when);
  tm local{};
  localtime_r(&seconds, &local);
  return kiv::fromCivil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                         local.tm_min, local.tm_sec});
}

std::string launchTimeOf(kiv::LocalTime when) {
  const kiv::CivilTime t = kiv::toCivil(when);
  return kiv::zeroPadded(t.hour, 2) + ':' + kiv::zeroPadded(t.minute, 2) + ':' +
         kiv::zeroPadded(t.second, 2);
}

// Nanoseconds from `boundary` to the start the stand-in recorded in `record`.
double latencyMs(const fs::path& record, Clock::time_point boundary) {
  for (int attempt = 0; attempt < 500; ++attempt) {
    std::ifstream in(record);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    if (const auto parsed = kiv::parseStandInRecord(text)) {
      const long long started = std::stoll(parsed->fields.at("started_ns"));
      const long long due =
          std::chrono::duration_cast<Nanoseconds>(boundary.time_since_epoch()).count();
      return static_cast<double>(started - due) / 1e6;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds{10});
  }
  std::fprintf(stderr, "no record in %s\n", record.c_str());
  std::exit(1);
}

void bareSpawn(const std::string& program, const fs::path& record, Clock::time_point boundary) {
  setenv("KIV_STAND_IN_RECORD", record.c_str(), 1);
  std::this_thread::sleep_until(boundary);
  std::string argument = "bare";
  char* arguments[] = {const_cast<char*>(program.c_str()), argument.data(), nullptr};
  pid_t child = 0;
  if (posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environ) != 0) {
    std::perror("posix_spawn");
    std::exit(1);
  }
  waitpid(child, nullptr, 0);
}

void scheduledLaunch(kiv::MainForm& form, LaunchingPlatform& platform, const fs::path& record,
                     Clock::time_point boundary) {
  setenv("KIV_STAND_IN_RECORD", record.c_str(), 1);
  form.tasks[0].LaunchAt = launchTimeOf(localReading(boundary));
  std::this_thread::sleep_until(boundary + kiv::kTickMargin);
  platform.clock = localReading(Clock::now());
  form.Timer1_Timer();
}

struct Summary {
  double median;
  double p99;
};

Summary summarise(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const auto at = [&](double fraction) {
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) +
                                           0.5)];
  };
  return {at(0.5), at(0.99)};
}

}  // namespace

int main() {
  const std::string program = KIV_STAND_IN;
  const fs::path folder = fs::temp_directory_path() / ("kiv-latency-" + std::to_string(getpid()));
  fs::create_directories(folder);

  LaunchingPlatform platform;
  kiv::MainForm form(platform);
  form.Form_Load();
  kiv::Task& task = form.tasks[0];
  task.AccessLocation = program;
  task.DatabaseLocation = "/srv/orders.mdb";
  task.Compiled = 1;

  std::vector<double> bare;
  std::vector<double> scheduled;
  for (int round = 0; round < kLaunches; ++round) {
    const Clock::time_point bareBoundary = nextBoundary();
    const fs::path bareRecord = folder / ("bare-" + std::to_string(round));
    bareSpawn(program, bareRecord, bareBoundary);
    bare.push_back(latencyMs(bareRecord, bareBoundary));

    const Clock::time_point dueBoundary = nextBoundary();
    const fs::path scheduledRecord = folder / ("scheduled-" + std::to_string(round));
    scheduledLaunch(form, platform, scheduledRecord, dueBoundary);
    scheduled.push_back(latencyMs(scheduledRecord, dueBoundary));
  }
  fs::remove_all(folder);

  const Summary b = summarise(bare);
  const Summary s = summarise(scheduled);
  std::printf("launches: %d each\n", kLaunches);
  std::printf("bare posix_spawn at the boundary: median %.2f ms, p99 %.2f ms\n", b.median, b.p99);
  std::printf("scheduled launch by the tick:     median %.2f ms, p99 %.2f ms\n", s.median, s.p99);
  std::printf("median difference: %.2f ms (goal at most 5 ms)\n", s.median - b.median);
  return 0;
}
