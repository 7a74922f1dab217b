#include "scheduler/skipped_time.h"

#include <algorithm>

#include "scheduler/launch_time.h"

namespace kiv {
namespace {

using std::chrono::days;
using std::chrono::seconds;
using std::chrono::sys_seconds;

// The clock fields of a local time read as if they were UTC.
sys_seconds asIfUtc(LocalTime time) {
  return sys_seconds{time.time_since_epoch()};
}

LocalTime localAt(sys_seconds instant, seconds offset) {
  return LocalTime{instant.time_since_epoch() + offset};
}

}  // namespace

sys_seconds offsetChangeBetween(const LocalZone& zone, sys_seconds after, sys_seconds until) {
  const seconds later = zone.utcOffsetAt(until);
  // The offset at `after` differs and the one at `until` is the later one;
  // halve the stretch between them until it is one second long.
  while (until - after > seconds{1}) {
    const sys_seconds middle = after + (until - after) / 2;
    if (zone.utcOffsetAt(middle) == later) {
      until = middle;
    } else {
      after = middle;
    }
  }
  return until;
}

// Zones change their offset at most once in two days, so a day at a time
// meets each change on its own.
std::vector<SkippedTime> skippedTimesBetween(const LocalZone& zone, sys_seconds from,
                                             sys_seconds until) {
  std::vector<SkippedTime> skipped;
  for (sys_seconds start = from; start < until; start += days{1}) {
    const sys_seconds end = std::min(start + days{1}, until);
    const seconds before = zone.utcOffsetAt(start);
    const seconds after = zone.utcOffsetAt(end);
    if (after <= before) continue;
    const sys_seconds change = offsetChangeBetween(zone, start, end);
    skipped.push_back({localAt(change, before), localAt(change, after)});
  }
  return skipped;
}

// Zones change their offset at most once in two days, so the offsets a day
// either side are the ones before and after any change near `time`.
std::optional<SkippedTime> skippedTimeAround(LocalTime time, const LocalZone& zone) {
  const sys_seconds fields = asIfUtc(time);
  const seconds before = zone.utcOffsetAt(fields - days{1});
  const seconds after = zone.utcOffsetAt(fields + days{1});
  if (after <= before) return std::nullopt;
  // `time` exists when one of the two offsets maps some instant onto it.
  if (zone.utcOffsetAt(fields - before) == before || zone.utcOffsetAt(fields - after) == after) {
    return std::nullopt;
  }
  // The change lies where the earlier offset no longer reaches `time` and the
  // later one does not reach it yet.
  const sys_seconds change = offsetChangeBetween(zone, fields - after, fields - before);
  return SkippedTime{localAt(change, before), localAt(change, after)};
}

std::optional<LocalTime> fixedLaunchIn(std::string_view launchAt, const SecondRange& skipped) {
  if (skipped.empty() || isRecurring(launchAt)) return std::nullopt;
  const std::optional<seconds> timeOfDay = parseTimeOfDay(launchAt);
  if (!timeOfDay) return std::nullopt;
  const LocalTime first = *skipped.begin();
  const LocalTime last = first + seconds{static_cast<seconds::rep>(skipped.size()) - 1};
  // The skipped seconds may reach past midnight: try the day each end lies in.
  for (const LocalTime end : {first, last}) {
    const LocalTime candidate = std::chrono::floor<days>(end) + *timeOfDay;
    if (candidate >= first && candidate <= last) return candidate;
  }
  return std::nullopt;
}

}  // namespace kiv
