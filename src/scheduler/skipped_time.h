#pragma once

#include <chrono>
#include <optional>
#include <string_view>
#include <vector>

#include "base/local_time.h"
#include "base/local_zone.h"
#include "scheduler/second_cursor.h"

namespace kiv {

// The first instant after `after`, up to `until`, at which `zone` shows the
// offset it shows at `until`: where its offset changed. `until` itself when
// the zone shows no change in between.
std::chrono::sys_seconds offsetChangeBetween(const LocalZone& zone, std::chrono::sys_seconds after,
                                             std::chrono::sys_seconds until);

// The local times a change of daylight saving leaves out, when the clock goes
// on from 02:00:00 to 03:00:00: `first` is the first second that does not
// exist, `end` the first one after them that does.
struct SkippedTime {
  LocalTime first{};
  LocalTime end{};

  friend bool operator==(const SkippedTime&, const SkippedTime&) = default;
};

// The local times that changes of daylight saving skip from `from` until
// `until`, in time order.
std::vector<SkippedTime> skippedTimesBetween(const LocalZone& zone, std::chrono::sys_seconds from,
                                             std::chrono::sys_seconds until);

// The skipped local times that hold `time`, or nullopt when `time` exists.
std::optional<SkippedTime> skippedTimeAround(LocalTime time, const LocalZone& zone);

// The second in `skipped` at which a fixed launch time was due, or nullopt:
// for a recurring launch time (its next occurrence comes on its own), an
// unusable one, or one that does not fall in those seconds.
std::optional<LocalTime> fixedLaunchIn(std::string_view launchAt, const SecondRange& skipped);

}  // namespace kiv
