// Launch latency of the real programs: from the second a task is due to the
// first instruction of the program it starts, for "kivctl run" and for the
// window program kiv, each next to a bare reference in the same minutes.
//
// Each program runs as a process of its own with a schedule of tasks due at
// every third second; in the seconds between, this process sleeps to the
// boundary with clock_nanosleep(TIMER_ABSTIME) and starts the same program
// with posix_spawn: the least any scheduler can do. Every other such start
// also gives the program a session of its own (POSIX_SPAWN_SETSID), as Kiv
// does: that shows what the session costs by itself, for setsid moves the
// new process into a scheduling group of its own (the kernel's autogroups),
// which a loaded machine makes it wait for. The started program is a static
// stand-in that records CLOCK_REALTIME at its first instruction
// (first_instruction_stand_in.c). kiv needs a display (see
// bench/launch_latency.sh, which also runs it under a compiler load).
//
// Goals, on an idle machine, against the bare reference: the median within
// 0.5 ms for kivctl run and within 1 ms for kiv; the 90th percentile within
// 2 ms for both.
//
//   kiv_launch_latency --stand-in PATH [--kivctl PATH] [--kiv PATH]
//                      [--launches N] [--no-goals]
// Each program given is measured, kivctl run first.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/local_time.h"
#include "posix/posix_file_storage.h"
#include "schedule_file/schedule_file_io.h"
#include "tasks/task.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;
using std::chrono::seconds;

constexpr double kKivctlMedianGoalMs = 0.5;
constexpr double kKivMedianGoalMs = 1.0;
constexpr double kP90GoalMs = 2.0;

struct Options {
  std::string standIn;
  std::string kivctl;  // empty: not measured
  std::string kiv;     // empty: not measured
  int launches = 30;
  bool goals = true;
};

std::optional<Options> parseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    const bool hasValue = i + 1 < argc;
    if (option == "--stand-in" && hasValue) {
      options.standIn = argv[++i];
    } else if (option == "--kivctl" && hasValue) {
      options.kivctl = argv[++i];
    } else if (option == "--kiv" && hasValue) {
      options.kiv = argv[++i];
    } else if (option == "--launches" && hasValue) {
      options.launches = std::atoi(argv[++i]);
    } else if (option == "--no-goals") {
      options.goals = false;
    } else {
      return std::nullopt;
    }
  }
  const bool complete = !options.standIn.empty() &&
                        (!options.kivctl.empty() || !options.kiv.empty()) && options.launches > 0 &&
                        options.launches <= kiv::kTaskCount;
  return complete ? std::optional(options) : std::nullopt;
}

timespec timespecOf(Clock::time_point time) {
  const auto since = time.time_since_epoch();
  const auto whole = std::chrono::floor<seconds>(since);
  return {static_cast<time_t>(whole.count()),
          static_cast<long>(std::chrono::nanoseconds(since - whole).count())};
}

void sleepUntil(Clock::time_point time) {
  const timespec until = timespecOf(time);
  while (::clock_nanosleep(CLOCK_REALTIME, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

// "hh:mm:ss" of `when` on the local clock, as a task's launch time.
std::string localLaunchTime(Clock::time_point when) {
  const time_t seconds = Clock::to_time_t(when);
  tm local{};
  ::localtime_r(&seconds, &local);
  char text[9];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

// One compiled task for each due second, every day, starting the stand-in
// with `record` as its first argument (the database's place in the line).
void writeSchedule(const fs::path& file, const std::vector<Clock::time_point>& dues,
                   const std::string& standIn, const fs::path& record) {
  kiv::TaskTable tasks;
  for (std::size_t index = 0; index < dues.size(); ++index) {
    kiv::Task& task = tasks.at(index);
    task.TaskName = "Latency " + std::to_string(index + 1);
    task.LaunchAt = localLaunchTime(dues[index]);
    task.AccessLocation = standIn;
    task.DatabaseLocation = record.string();
    task.Compiled = 1;
  }
  kiv::posix::PosixFileStorage storage;
  if (const auto written = kiv::writeScheduleFile(file, tasks, storage); !written) {
    std::fprintf(stderr, "kiv_launch_latency: %s\n", written.error().description.c_str());
    std::exit(2);
  }
}

// A program under test, its output in files of `folder`, ended with SIGTERM.
class ProgramUnderTest {
 public:
  ProgramUnderTest(std::vector<std::string> arguments, const fs::path& folder,
                   const std::vector<std::string>& environment)
      : errFile_(folder / "stderr.txt") {
    std::vector<std::string> envp(environment);
    for (char** entry = environ; *entry != nullptr; ++entry) envp.emplace_back(*entry);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, (folder / "stdout.txt").c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::posix_spawn_file_actions_addopen(&actions, 2, errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0600);
    std::vector<char*> argv = pointers(arguments);
    std::vector<char*> env = pointers(envp);
    const int failed = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), env.data());
    ::posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
      std::fprintf(stderr, "kiv_launch_latency: cannot start %s\n", argv[0]);
      std::exit(2);
    }
  }
  ~ProgramUnderTest() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  ProgramUnderTest(const ProgramUnderTest&) = delete;
  ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

  // Waits until standard error shows `text`; false when it did not in time.
  bool waitForMessage(std::string_view text, Clock::time_point limit) const {
    while (Clock::now() < limit) {
      std::ifstream in(errFile_);
      const std::string err{std::istreambuf_iterator<char>(in), {}};
      if (err.find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds{20});
    }
    return false;
  }

 private:
  static std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
  }

  fs::path errFile_;
  pid_t pid_ = -1;
};

// The bare reference: asleep until the boundary, then posix_spawn, the
// program in a session of its own or not.
void bareLaunch(const std::string& standIn, const fs::path& record, Clock::time_point due,
                bool ownSession) {
  std::string program = standIn;
  std::string argument = record.string();
  char* argv[] = {program.data(), argument.data(), nullptr};
  posix_spawnattr_t attributes;
  ::posix_spawnattr_init(&attributes);
  if (ownSession) ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  sleepUntil(due);
  pid_t child = 0;
  const int failed = ::posix_spawn(&child, program.c_str(), nullptr, &attributes, argv, environ);
  ::posix_spawnattr_destroy(&attributes);
  if (failed != 0) {
    std::perror("kiv_launch_latency: posix_spawn");
    std::exit(2);
  }
  ::waitpid(child, nullptr, 0);
}

// Milliseconds from each due second to the start recorded for it; a due
// second without a record is left out and counted in `missed`.
std::vector<double> latencies(const fs::path& record, const std::vector<Clock::time_point>& dues,
                              std::size_t& missed) {
  std::set<long long> due;
  for (const Clock::time_point time : dues) {
    due.insert(std::chrono::duration_cast<seconds>(time.time_since_epoch()).count());
  }
  std::vector<double> found;
  std::ifstream in(record);
  long long recordedSeconds = 0;
  long long recordedNanoseconds = 0;
  while (in >> recordedSeconds >> recordedNanoseconds) {
    // Every launch comes well within its second, and each due second once.
    if (due.erase(recordedSeconds) == 1)
      found.push_back(static_cast<double>(recordedNanoseconds) / 1e6);
  }
  missed = due.size();
  return found;
}

struct Figures {
  double median = NAN;
  double p90 = NAN;
  double max = NAN;
};

Figures summarise(std::vector<double> values) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  // The nearest rank: the smallest value at or above 90 % of the launches.
  const auto rank = static_cast<std::size_t>(std::ceil(0.9 * static_cast<double>(n)));
  return {median, values[std::max<std::size_t>(rank, 1) - 1], values.back()};
}

struct Phase {
  std::string name;
  Figures program;
  Figures bare;
  Figures bareOwnSession;
  std::size_t launches = 0;
  std::size_t missed = 0;
};

// Runs one program with tasks due at every third second from `lead` ahead,
// and the bare references in the seconds between.
Phase measure(const std::string& name, std::vector<std::string> command,
              std::string_view readyMessage, seconds lead, const Options& options) {
  const fs::path folder = fs::temp_directory_path() /
                          ("kiv-latency-" + std::to_string(::getpid()) + "-" + name.substr(0, 3));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const Clock::time_point first = std::chrono::ceil<seconds>(Clock::now()) + lead;
  std::vector<Clock::time_point> programDues;
  std::vector<Clock::time_point> bareDues;
  std::vector<Clock::time_point> sessionDues;
  for (int launch = 0; launch < options.launches; ++launch) {
    programDues.push_back(first + seconds{3 * launch});
    bareDues.push_back(first + seconds{3 * launch + 1});
    sessionDues.push_back(first + seconds{3 * launch + 2});
  }
  const fs::path schedule = folder / "schedule.kiv";
  writeSchedule(schedule, programDues, options.standIn, folder / "program.record");
  command.push_back(schedule.string());

  Phase phase;
  phase.name = name;
  {
    // Its settings, launch journal and locks stay in the folder.
    const ProgramUnderTest program(
        command, folder,
        {"XDG_CONFIG_HOME=" + folder.string(), "XDG_STATE_HOME=" + folder.string()});
    if (!readyMessage.empty() && !program.waitForMessage(readyMessage, first)) {
      std::fprintf(stderr, "kiv_launch_latency: %s was not ready in time\n", name.c_str());
    }
    for (std::size_t launch = 0; launch < bareDues.size(); ++launch) {
      bareLaunch(options.standIn, folder / "bare.record", bareDues[launch], false);
      bareLaunch(options.standIn, folder / "session.record", sessionDues[launch], true);
    }
  }
  std::size_t bareMissed = 0;
  const std::vector<double> program =
      latencies(folder / "program.record", programDues, phase.missed);
  phase.program = summarise(program);
  phase.bare = summarise(latencies(folder / "bare.record", bareDues, bareMissed));
  phase.bareOwnSession = summarise(latencies(folder / "session.record", sessionDues, bareMissed));
  phase.launches = program.size();
  fs::remove_all(folder);
  return phase;
}

bool report(const Phase& phase, double medianGoal) {
  const double medianOver = phase.program.median - phase.bare.median;
  const double p90Over = phase.program.p90 - phase.bare.p90;
  std::printf("%s: %zu launches, %zu missed\n", phase.name.c_str(), phase.launches, phase.missed);
  std::printf("  %-22s %8s %8s %8s\n", "ms after the due second", "median", "p90", "max");
  const auto row = [](const char* name, const Figures& figures) {
    std::printf("  %-22s %8.3f %8.3f %8.3f\n", name, figures.median, figures.p90, figures.max);
  };
  row(phase.name.c_str(), phase.program);
  row("bare reference", phase.bare);
  row("bare, own session", phase.bareOwnSession);
  std::printf("  %-22s %+8.3f %+8.3f            goal: median <= +%.1f, p90 <= +%.1f\n",
              "over the bare one", medianOver, p90Over, medianGoal, kP90GoalMs);
  std::printf("  %-22s %+8.3f %+8.3f\n", "over own session",
              phase.program.median - phase.bareOwnSession.median,
              phase.program.p90 - phase.bareOwnSession.p90);
  return phase.missed == 0 && medianOver <= medianGoal && p90Over <= kP90GoalMs;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = parseOptions(argc, argv);
  if (!options) {
    std::fprintf(stderr,
                 "usage: kiv_launch_latency --stand-in PATH [--kivctl PATH] [--kiv PATH] "
                 "[--launches 1..30] [--no-goals]\n");
    return 2;
  }
  bool met = true;
  if (!options->kivctl.empty()) {
    met = report(measure("kivctl run", {options->kivctl, "run"}, "until SIGINT or SIGTERM",
                         seconds{3}, *options),
                 kKivctlMedianGoalMs);
  }
  if (!options->kiv.empty()) {
    // kiv tells nothing when it is ready; its start-up takes well under the lead.
    met =
        report(measure("kiv", {options->kiv, "/o"}, "", seconds{6}, *options), kKivMedianGoalMs) &&
        met;
  }
  if (!options->goals) return 0;
  std::printf("goals %s\n", met ? "met" : "missed");
  return met ? 0 : 1;
}
