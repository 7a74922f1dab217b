#pragma once

#include <chrono>

#include "base/local_time.h"

namespace kiv {

// One reading of the clock: the local wall-clock time and how far it stood
// from UTC at that moment. The offset tells a change of daylight saving (the
// offset moves, time runs on) from a clock that jumped (the offset stays).
struct ClockReading {
  LocalTime local{};
  std::chrono::seconds utcOffset{0};

  std::chrono::sys_seconds utc() const {
    return std::chrono::sys_seconds{local.time_since_epoch() - utcOffset};
  }

  friend bool operator==(const ClockReading&, const ClockReading&) = default;
};

// The rules of the user's time zone: the offset of local time from UTC at any
// moment. With them the scheduler finds the local times a change of daylight
// saving skips or repeats.
class LocalZone {
 public:
  virtual ~LocalZone() = default;
  virtual std::chrono::seconds utcOffsetAt(std::chrono::sys_seconds instant) const = 0;
};

// A zone that never changes its offset.
class FixedZone final : public LocalZone {
 public:
  explicit FixedZone(std::chrono::seconds offset = std::chrono::seconds{0}) : offset_(offset) {}
  std::chrono::seconds utcOffsetAt(std::chrono::sys_seconds) const override { return offset_; }

 private:
  std::chrono::seconds offset_;
};

}  // namespace kiv
