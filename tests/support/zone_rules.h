#pragma once

#include <chrono>
#include <utility>
#include <vector>

#include "base/local_time.h"
#include "base/local_zone.h"

namespace kiv::testing {

// A time zone as a table: its offset before the first change, then each
// change as the UTC instant it takes effect and the offset from then on.
class TableZone final : public LocalZone {
 public:
  using Change = std::pair<std::chrono::sys_seconds, std::chrono::seconds>;

  TableZone(std::chrono::seconds initial, std::vector<Change> changes)
      : initial_(initial), changes_(std::move(changes)) {}

  std::chrono::seconds utcOffsetAt(std::chrono::sys_seconds instant) const override {
    std::chrono::seconds offset = initial_;
    for (const auto& [from, after] : changes_) {
      if (instant >= from) offset = after;
    }
    return offset;
  }

 private:
  std::chrono::seconds initial_;
  std::vector<Change> changes_;
};

inline std::chrono::sys_seconds utc(int year, int month, int day, int hour, int minute = 0,
                                    int second = 0) {
  return std::chrono::sys_seconds{
      fromCivil({year, month, day, hour, minute, second}).time_since_epoch()};
}

// Europe/Berlin in 2027: CET (+01:00) until 28 March 01:00 UTC, when 02:00
// local becomes 03:00 CEST (+02:00); back to CET on 31 October 01:00 UTC,
// when 03:00 local becomes 02:00 again.
inline const TableZone& berlin2027() {
  using std::chrono::hours;
  static const TableZone zone(hours{1},
                              {{utc(2027, 3, 28, 1), hours{2}}, {utc(2027, 10, 31, 1), hours{1}}});
  return zone;
}

// America/New_York in 2027: EST (-05:00) until 14 March 07:00 UTC (02:00
// local becomes 03:00 EDT, -04:00); back to EST on 7 November 06:00 UTC
// (02:00 local becomes 01:00 again).
inline const TableZone& newYork2027() {
  using std::chrono::hours;
  static const TableZone zone(hours{-5},
                              {{utc(2027, 3, 14, 7), hours{-4}}, {utc(2027, 11, 7, 6), hours{-5}}});
  return zone;
}

}  // namespace kiv::testing
