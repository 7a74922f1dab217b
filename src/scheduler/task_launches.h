#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "base/local_time.h"
#include "base/result.h"
#include "tasks/task.h"

namespace kiv {

// The seconds of a day at which the tick would start `task`, earliest first,
// or why it never would (in words that follow "never launches: "): it fails
// compilation when shown, or its launch time is never due.
Result<std::vector<std::chrono::seconds>, std::string> launchSecondsOfDay(const Task& task);

// One task's launches in time order from a given second on, stepping from
// candidate to candidate and from day to day instead of through every second.
class TaskLaunches {
 public:
  TaskLaunches(int daysToRunOn, std::vector<std::chrono::seconds> secondsOfDay, LocalTime from);

  LocalTime current() const { return day_ + secondsOfDay_[index_]; }
  void advance();

 private:
  void settle();

  int daysToRunOn_;
  std::vector<std::chrono::seconds> secondsOfDay_;
  std::chrono::local_days day_;
  std::size_t index_;
};

}  // namespace kiv
