#pragma once

#include <chrono>
#include <optional>

namespace kiv {

// How the scheduler treats a task's program beyond starting it. The defaults
// are what a task without options gets: it waits up to an hour for a program
// Kiv started on the same database to end, runs as long as it takes, and a
// launch missed while nothing scheduled the schedule stays missed.
struct TaskOptions {
  // How long a launch due while the task's database is in use by another
  // program Kiv started waits for it to end; 0 skips the launch at once.
  std::chrono::minutes wait{60};
  // A program still running after this long is ended; none: no limit.
  std::optional<std::chrono::minutes> timeLimit;
  // A fixed-time launch missed while no Kiv program scheduled the schedule is
  // made up once, if it is no more than this late; none: never made up.
  std::optional<std::chrono::hours> catchUp;

  friend bool operator==(const TaskOptions&, const TaskOptions&) = default;
};

// The ranges a user may set; the schedule file can hold no other values.
inline constexpr std::chrono::minutes kLongestWait{24 * 60};
inline constexpr std::chrono::minutes kShortestTimeLimit{1};
inline constexpr std::chrono::minutes kLongestTimeLimit{24 * 60};
inline constexpr std::chrono::hours kShortestCatchUp{1};
inline constexpr std::chrono::hours kLongestCatchUp{7 * 24};

}  // namespace kiv
