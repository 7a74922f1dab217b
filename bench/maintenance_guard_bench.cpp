// The guard around a compact, repair or decompile. Goals: the checks before
// the start of a task that keeps no copies take at most 5 ms
// (BM_GuardWithoutCopies); the verified copy of a 200 MB database runs at
// no less than 80 % of cp's speed on the same volume (compare the bytes per
// second of BM_VerifiedCopy with BM_CpCopy, and with BM_CpAndSyncCopy, which
// like the verified copy forces the copy to the disk before it counts as
// made). All work in a folder under $TMPDIR (or /tmp), so measure there on
// the volume that matters.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/maintenance_guard.h"
#include "posix/posix_database_files.h"

extern char** environ;

namespace kiv {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kDatabaseSize = std::size_t{200} << 20;

// A folder of its own with a database of `size` random bytes in it.
class BenchFolder {
 public:
  explicit BenchFolder(std::size_t size) {
    folder_ = fs::temp_directory_path() / ("kiv-guard-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    std::mt19937_64 random{42};
    std::vector<std::uint64_t> words(size / sizeof(std::uint64_t));
    for (auto& word : words) word = random();
    std::ofstream(database(), std::ios::binary)
        .write(reinterpret_cast<const char*>(words.data()),
               static_cast<std::streamsize>(words.size() * sizeof(std::uint64_t)));
  }
  ~BenchFolder() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

  fs::path database() const { return folder_ / "Orders.mdb"; }
  fs::path copy() const { return folder_ / "Orders copy.mdb"; }

 private:
  fs::path folder_;
};

void BM_GuardWithoutCopies(benchmark::State& state) {
  const BenchFolder folder(1 << 20);
  posix::PosixDatabaseFiles files;
  Task task;
  task.DatabaseLocation = folder.database().string();
  task.Options.backups = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(databaseInUse(files, task.DatabaseLocation));
    benchmark::DoNotOptimize(prepareMaintenance(files, task, LocalTime{}));
  }
}
BENCHMARK(BM_GuardWithoutCopies)->Unit(benchmark::kMillisecond);

void BM_VerifiedCopy(benchmark::State& state) {
  const BenchFolder folder(kDatabaseSize);
  posix::PosixDatabaseFiles files;
  for (auto _ : state) {
    if (!files.copyFile(folder.database().string(), folder.copy().string())) {
      state.SkipWithError("the copy failed");
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kDatabaseSize));
}
BENCHMARK(BM_VerifiedCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs the shell command `script` with the database and the copy as $1 and
// $2, as each iteration.
void runShellCopy(benchmark::State& state, const char* script) {
  const BenchFolder folder(kDatabaseSize);
  const std::string from = folder.database().string();
  const std::string to = folder.copy().string();
  std::vector<char*> arguments{const_cast<char*>("sh"),
                               const_cast<char*>("-c"),
                               const_cast<char*>(script),
                               const_cast<char*>("sh"),
                               const_cast<char*>(from.c_str()),
                               const_cast<char*>(to.c_str()),
                               nullptr};
  for (auto _ : state) {
    pid_t pid = 0;
    int status = 0;
    if (::posix_spawnp(&pid, "sh", nullptr, nullptr, arguments.data(), environ) != 0 ||
        ::waitpid(pid, &status, 0) != pid || status != 0) {
      state.SkipWithError("the copy failed");
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kDatabaseSize));
}

void BM_CpCopy(benchmark::State& state) {
  runShellCopy(state, R"(cp "$1" "$2")");
}
BENCHMARK(BM_CpCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CpAndSyncCopy(benchmark::State& state) {
  runShellCopy(state, R"(cp "$1" "$2" && sync "$2")");
}
BENCHMARK(BM_CpAndSyncCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kiv
