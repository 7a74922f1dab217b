#include "program_watcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "stand_in_record.h"
#include "unique_handle.h"
#include "waiting.h"
#include "windows_api.h"

namespace kiv {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using testing::StandInRecord;
using testing::waitUntil;

std::string standInLine() {
  return "\"" + StandInRecord::program() + "\" \"C:\\Data\\orders.mdb\" /compact";
}

// Collects from `watcher` until something has ended (or a limit that only
// keeps a broken test from hanging has passed).
std::vector<ProgramEnding> firstEndings(ProgramWatcher& watcher) {
  std::vector<ProgramEnding> endings;
  waitUntil([&] {
    endings = watcher.collectEnded();
    return !endings.empty();
  });
  return endings;
}

// Whether the process object of `pid` is still there. The system keeps it
// while any handle to the process (or to one of its threads) is open, and
// removes it once the program has ended and the last one is closed.
bool processObjectRemains(DWORD pid) {
  return static_cast<bool>(UniqueHandle(OpenProcess(SYNCHRONIZE, FALSE, pid)));
}

// Whether the process object of the ended program `pid` goes, within a
// limit that only keeps a broken test from hanging: it stays for good when
// a handle is left open.
bool processObjectGoes(DWORD pid) {
  return waitUntil([pid] { return !processObjectRemains(pid); }, std::chrono::seconds{5});
}

TEST(ProgramWatcher, ReportsAnEndedProgramOnceWithItsStatusAndHowLongItRan) {
  const StandInRecord record;
  record.stayFor(milliseconds{600});
  record.exitWith(3);
  ProgramWatcher watcher;
  const steady_clock::time_point before = steady_clock::now();

  const StartResult started = watcher.start(standInLine());
  ASSERT_TRUE(started) << started.error();
  ASSERT_TRUE(started.value().processId);
  const std::vector<ProgramEnding> endings = firstEndings(watcher);
  const steady_clock::duration collectedWithin = steady_clock::now() - before;

  ASSERT_EQ(endings.size(), 1U);
  EXPECT_EQ(endings[0].pid, *started.value().processId);
  EXPECT_EQ(endings[0].outcome.kind, ProgramOutcome::Kind::Exited);
  EXPECT_EQ(endings[0].outcome.code, 3);
  ASSERT_TRUE(endings[0].outcome.duration);
  // It stayed 600 ms after starting, and ended before it was collected.
  EXPECT_GE(*endings[0].outcome.duration, milliseconds{600});
  EXPECT_LE(*endings[0].outcome.duration, collectedWithin);
  EXPECT_TRUE(watcher.collectEnded().empty());
  EXPECT_EQ(watcher.watching(), 0U);
}

TEST(ProgramWatcher, KeepsWatchingARunningProgramAndRecordsACrashStatusAsSigned) {
  const StandInRecord record;
  record.stayFor(std::chrono::minutes{5});
  ProgramWatcher watcher;
  const StartResult started = watcher.start(standInLine());
  ASSERT_TRUE(started && started.value().processId) << (started ? "" : started.error());
  ASSERT_TRUE(record.commandLine());

  EXPECT_TRUE(watcher.collectEnded().empty());
  EXPECT_EQ(watcher.watching(), 1U);

  // Ended as a crash ends it: with an access violation's status.
  const UniqueHandle program(
      OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(*started.value().processId)));
  ASSERT_TRUE(program);
  TerminateProcess(program.get(), 0xC0000005);
  const std::vector<ProgramEnding> endings = firstEndings(watcher);
  ASSERT_EQ(endings.size(), 1U);
  EXPECT_EQ(endings[0].outcome.kind, ProgramOutcome::Kind::Exited);
  EXPECT_EQ(endings[0].outcome.code, -1073741819);
}

// A program that never ends and has no window to close: asking it to end
// leaves it running; making it ends it, through its job, with status 1.
TEST(ProgramWatcher, EndsAProgramThatNeverExits) {
  const StandInRecord record;
  record.stayFor(std::chrono::minutes{5});
  ProgramWatcher watcher;
  const StartResult started = watcher.start(standInLine());
  ASSERT_TRUE(started && started.value().processId) << (started ? "" : started.error());
  ASSERT_TRUE(record.commandLine());
  const ProcessId pid = *started.value().processId;

  watcher.end(pid, Ending::Gracefully);
  EXPECT_TRUE(watcher.collectEnded().empty());
  watcher.end(pid, Ending::Forcibly);

  const std::vector<ProgramEnding> endings = firstEndings(watcher);
  ASSERT_EQ(endings.size(), 1U);
  EXPECT_EQ(endings[0].pid, pid);
  EXPECT_EQ(endings[0].outcome.kind, ProgramOutcome::Kind::Exited);
  EXPECT_EQ(endings[0].outcome.code, 1);
  EXPECT_TRUE(processObjectGoes(static_cast<DWORD>(pid)));
}

TEST(ProgramWatcher, LeavesNoHandleBehindAndProgramsOutliveIt) {
  const StandInRecord record;
  std::vector<DWORD> collected;
  {
    ProgramWatcher watcher;
    constexpr std::size_t kStarts = 8;
    for (std::size_t start = 0; start < kStarts; ++start) {
      ASSERT_TRUE(watcher.start(standInLine()));
    }
    EXPECT_TRUE(waitUntil([&] {
      for (const ProgramEnding& ending : watcher.collectEnded()) {
        collected.push_back(static_cast<DWORD>(ending.pid));
      }
      return collected.size() == kStarts;
    }));
    // Collected while the watcher still lives: the handles went with the endings.
    for (const DWORD pid : collected) EXPECT_TRUE(processObjectGoes(pid)) << pid;
  }

  // A program still running when the watcher goes keeps running, and no
  // handle of the watcher's keeps its process object once it has ended.
  record.stayFor(std::chrono::minutes{5});
  DWORD stillRunning = 0;
  {
    ProgramWatcher watcher;
    const StartResult started = watcher.start(standInLine());
    ASSERT_TRUE(started && started.value().processId) << (started ? "" : started.error());
    stillRunning = static_cast<DWORD>(*started.value().processId);
  }
  {
    const UniqueHandle program(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, stillRunning));
    ASSERT_TRUE(program);
    EXPECT_EQ(WaitForSingleObject(program.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    TerminateProcess(program.get(), 0);
    WaitForSingleObject(program.get(), INFINITE);
  }
  EXPECT_TRUE(processObjectGoes(stillRunning));
}

}  // namespace
}  // namespace kiv
