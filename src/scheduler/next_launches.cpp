#include "scheduler/next_launches.h"

#include "scheduler/launch_time.h"
#include "scheduler/skipped_time.h"

namespace kiv {

NextLaunches::NextLaunches(const TaskTable& tasks, LocalTime from, const LocalZone* zone,
                           AfterClosing afterClosing)
    : tasks_(tasks), zone_(zone), afterClosing_(afterClosing), launches_(tasks.size()) {
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
  while (!ended_ && !queue_.empty()) {
    const auto [at, index] = queue_.top();
    queue_.pop();
    launches_.at(index)->advance();
    queue_.emplace(launches_.at(index)->current(), index);
    const Task& task = tasks_.at(index);
    Launch launch{index, at, task.CloseAfterRunning == 1, std::nullopt};
    if (zone_ != nullptr) {
      if (const auto skipped = skippedTimeAround(at, *zone_)) {
        if (isRecurring(task.LaunchAt)) continue;
        launch.skippedDueAt = at;
        launch.at = skipped->end;
      }
    }
    ended_ = launch.endsScheduler && afterClosing_ == AfterClosing::Stop;
    return launch;
  }
  return std::nullopt;
}

Forecast forecastLaunches(const TaskTable& tasks, const ForecastRange& range) {
  NextLaunches next(tasks, range.from, range.zone);
  Forecast forecast{.launches = {}, .silentTasks = next.silentTasks()};
  while (forecast.launches.size() < range.count) {
    const std::optional<Launch> launch = next.next();
    if (!launch || (range.until && launch->at > *range.until)) break;
    forecast.launches.push_back(*launch);
  }
  return forecast;
}

}  // namespace kiv
