#pragma once

#include <string>

#include "tasks/task.h"

namespace kiv::bench {

// 30 compiled tasks with recurring launch times, half of them on one weekday,
// half on one of the four monthly day patterns, so that a thousand launches
// spread over about a year. Every task launches at minute `minute` of its hours.
inline TaskTable recurringSchedule(int minute) {
  auto two = [](int value) { return (value < 10 ? "0" : "") + std::to_string(value); };
  TaskTable tasks;
  for (int index = 0; index < kTaskCount; ++index) {
    Task& task = tasks.at(index);
    const bool weekly = index % 2 == 0;
    // Weekly tasks launch once on their day, monthly ones a few times.
    const int startHour = weekly ? 18 + index % 6 : 12 + index % 9;
    const int interval = weekly ? 6 + index % 4 : 5 + index % 5;
    task.TaskName = "Recurring " + std::to_string(index + 1);
    task.LaunchAt = two(startHour) + ":" + two(minute) + ":?" + std::to_string(interval);
    task.AccessLocation = "/bin/true";
    task.DatabaseLocation = "/srv/db" + std::to_string(index + 1) + ".mdb";
    task.DaysToRunOn = static_cast<std::uint8_t>(weekly ? 3 + index / 2 % 7 : 10 + index / 2 % 4);
    task.Compiled = 1;
  }
  return tasks;
}

}  // namespace kiv::bench
