#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace kiv {

// How the scheduler treats a task's program beyond starting it. The defaults
// are what a task without options gets: it waits up to an hour for a program
// Kiv started on the same database to end, runs as long as it takes, and a
// launch missed while nothing scheduled the schedule stays missed. Before a
// compact, repair or decompile it keeps one copy of the database, in a
// "Kiv backups" folder beside it.
struct TaskOptions {
  // How long a launch due while the task's database is in use waits for it
  // to be free; 0 skips the launch at once. In use means by a program Kiv
  // started, and before a compact, repair or decompile also by anyone who
  // has the database open.
  std::chrono::minutes wait{60};
  // A program still running after this long is ended; none: no limit.
  std::optional<std::chrono::minutes> timeLimit;
  // A fixed-time launch missed while no Kiv program scheduled the schedule is
  // made up once, if it is no more than this late; none: never made up.
  std::optional<std::chrono::hours> catchUp;
  // How many copies of the database a compact, repair or decompile keeps,
  // the newest first: each run copies the database before it starts and
  // removes the oldest copies beyond this many; 0 copies nothing.
  int backups = 1;
  // The folder the copies go to; empty: a "Kiv backups" folder beside the
  // database.
  std::string backupFolder;

  friend bool operator==(const TaskOptions&, const TaskOptions&) = default;
};

// The ranges a user may set; the schedule file can hold no other values.
inline constexpr std::chrono::minutes kLongestWait{24 * 60};
inline constexpr std::chrono::minutes kShortestTimeLimit{1};
inline constexpr std::chrono::minutes kLongestTimeLimit{24 * 60};
inline constexpr std::chrono::hours kShortestCatchUp{1};
inline constexpr std::chrono::hours kLongestCatchUp{7 * 24};
inline constexpr int kMostBackups = 99;
// The most bytes the schedule file holds of a backup folder, in its code page.
inline constexpr std::size_t kLongestBackupFolder = 110;

}  // namespace kiv
