#include "scheduler/second_cursor.h"

#include <algorithm>

#include "scheduler/skipped_time.h"

namespace kiv {
namespace {

constexpr std::chrono::seconds kOne{1};

CursorStep examining(LocalTime second) {
  CursorStep step;
  step.examine = SecondRange{second, kOne};
  return step;
}

}  // namespace

CursorStep SecondCursor::advance(const ClockReading& reading, const LocalZone& zone) {
  const ClockReading previous = lastReading_;
  lastReading_ = reading;
  if (!lastExamined_) {
    lastExamined_ = reading.local;
    return examining(reading.local);
  }
  // A change the zone's rules foresee is daylight saving. When the rules
  // themselves changed (the user chose another time zone), they no longer
  // give the earlier reading its offset, and local time simply jumped.
  const std::chrono::seconds elapsed = reading.utc() - previous.utc();
  if (reading.utcOffset != previous.utcOffset && elapsed.count() > 0 && elapsed <= kCatchUpWindow &&
      zone.utcOffsetAt(previous.utc()) == previous.utcOffset) {
    return acrossOffsetChange(previous, reading, zone);
  }

  const LocalTime now = reading.local;
  const LocalTime last = *lastExamined_;
  const std::chrono::seconds ahead = now - last;
  if (ahead.count() <= 0 && -ahead <= kRepeatWindow) return {};
  lastExamined_ = now;
  if (ahead.count() <= 0) return examining(now);
  if (ahead > kCatchUpWindow) {
    CursorStep step = examining(now);
    step.missed = SecondRange::inclusive(last + kOne, now - kOne);
    return step;
  }
  CursorStep step;
  step.examine = SecondRange::inclusive(last + kOne, now);
  return step;
}

void SecondCursor::startWithin(const ClockReading& reading) {
  if (lastExamined_) return;
  lastReading_ = reading;
  lastExamined_ = reading.local - kOne;
}

// The offset changed between two readings close together: daylight saving
// began or ended in between. The local seconds before the change are examined
// as usual; a change forward leaves out local seconds, which are handed out
// as skipped; a change back repeats local seconds, which are not examined
// again, as for any clock set back.
CursorStep SecondCursor::acrossOffsetChange(const ClockReading& previous,
                                            const ClockReading& reading, const LocalZone& zone) {
  const std::chrono::sys_seconds change = offsetChangeBetween(zone, previous.utc(), reading.utc());
  // The first local second of the new offset, and the local second that
  // would have come next under the old one.
  const LocalTime newOffsetStarts{change.time_since_epoch() + reading.utcOffset};
  const LocalTime oldOffsetEnds{change.time_since_epoch() + previous.utcOffset};

  const LocalTime last = *lastExamined_;
  CursorStep step;
  step.examine = SecondRange::inclusive(last + kOne, oldOffsetEnds - kOne);
  const LocalTime examinedBeforeChange = std::max(last, oldOffsetEnds - kOne);
  if (newOffsetStarts > oldOffsetEnds) {
    step.skipped = SecondRange::inclusive(std::max(oldOffsetEnds, examinedBeforeChange + kOne),
                                          newOffsetStarts - kOne);
  }
  step.examineAfterSkip =
      SecondRange::inclusive(std::max(newOffsetStarts, examinedBeforeChange + kOne), reading.local);
  lastExamined_ = std::max(examinedBeforeChange, reading.local);
  return step;
}

}  // namespace kiv
