#include "scheduler/next_launches.h"

namespace kiv {

NextLaunches::NextLaunches(const TaskTable& tasks, LocalTime from)
    : tasks_(tasks), launches_(tasks.size()) {
  for (int index = 0; index < kTaskCount; ++index) {
    const Task& task = tasks.at(index);
    if (task.Compiled != 1) continue;
    auto seconds = launchSecondsOfDay(task);
    if (!seconds) {
      silentTasks_.push_back({index, seconds.error()});
      continue;
    }
    launches_.at(index).emplace(task.DaysToRunOn, std::move(seconds).value(), from);
    queue_.emplace(launches_.at(index)->current(), index);
  }
}

std::optional<Launch> NextLaunches::next() {
  if (ended_ || queue_.empty()) return std::nullopt;
  const auto [at, index] = queue_.top();
  queue_.pop();
  const bool ends = tasks_.at(index).CloseAfterRunning == 1;
  ended_ = ends;
  launches_.at(index)->advance();
  queue_.emplace(launches_.at(index)->current(), index);
  return Launch{index, at, ends};
}

Forecast forecastLaunches(const TaskTable& tasks, const ForecastRange& range) {
  NextLaunches next(tasks, range.from);
  Forecast forecast{.launches = {}, .silentTasks = next.silentTasks()};
  while (forecast.launches.size() < range.count) {
    const std::optional<Launch> launch = next.next();
    if (!launch || (range.until && launch->at > *range.until)) break;
    forecast.launches.push_back(*launch);
  }
  return forecast;
}

}  // namespace kiv
