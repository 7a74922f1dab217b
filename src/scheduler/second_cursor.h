#pragma once

#include <chrono>
#include <cstddef>
#include <iterator>
#include <optional>

#include "base/local_time.h"
#include "base/local_zone.h"

namespace kiv {

// Consecutive clock seconds, oldest first; iterates without allocating.
class SecondRange {
 public:
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = LocalTime;
    using difference_type = std::ptrdiff_t;
    using pointer = const LocalTime*;
    using reference = LocalTime;

    Iterator() = default;
    explicit Iterator(LocalTime second) : second_(second) {}
    LocalTime operator*() const { return second_; }
    Iterator& operator++() {
      second_ += std::chrono::seconds{1};
      return *this;
    }
    Iterator operator++(int) {
      const Iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const Iterator&) const = default;

   private:
    LocalTime second_{};
  };

  SecondRange() = default;
  SecondRange(LocalTime first, std::chrono::seconds count) : first_(first), count_(count) {}
  // From `first` to `last`, both included; empty when `last` comes before `first`.
  static SecondRange inclusive(LocalTime first, LocalTime last) {
    return last < first ? SecondRange{}
                        : SecondRange{first, last - first + std::chrono::seconds{1}};
  }

  Iterator begin() const { return Iterator{first_}; }
  Iterator end() const { return Iterator{first_ + count_}; }
  bool empty() const { return count_.count() == 0; }
  std::size_t size() const { return static_cast<std::size_t>(count_.count()); }
  // Only for a range that is not empty.
  LocalTime front() const { return first_; }
  LocalTime back() const { return first_ + count_ - std::chrono::seconds{1}; }

  friend bool operator==(const SecondRange& a, const SecondRange& b) {
    return a.count_ == b.count_ && (a.empty() || a.first_ == b.first_);
  }

 private:
  LocalTime first_{};
  std::chrono::seconds count_{0};
};

// What one tick examines, in time order: first the seconds a jump of the
// clock passed over (`missed`, never examined: the tick only journals the
// launches due in them), then `examine`, then the local seconds a change of
// daylight saving left out (`skipped`), then `examineAfterSkip`. Without a
// change of daylight saving the last two are empty.
struct CursorStep {
  SecondRange missed{};
  SecondRange examine{};
  SecondRange skipped{};
  SecondRange examineAfterSkip{};
};

// Remembers the last clock second the tick examined, so that each wall-clock
// second is examined once even when ticks come late or the clock is set back,
// and tells a change of daylight saving (the reading's UTC offset moves, time
// runs on) from a clock that jumped (the offset stays).
class SecondCursor {
 public:
  // Seconds skipped by a late tick are examined afterwards only within this
  // window. A larger step forward (a suspended machine, a clock set forward)
  // examines only the reading itself: tasks of a long gap are not launched
  // late, since maintenance at an unexpected hour can lock users out. Those
  // seconds are handed out as missed instead.
  static constexpr std::chrono::seconds kCatchUpWindow{60};

  // A clock set back by up to this much repeats seconds already examined (the
  // hour the end of daylight saving repeats), and they are not examined again.
  // A clock set back further was corrected: waiting for it to catch up would
  // stop the scheduler for the whole step, so examining starts afresh.
  static constexpr std::chrono::seconds kRepeatWindow{std::chrono::hours{2}};

  // The seconds to examine at a tick that reads `reading`: normally the
  // reading alone; after a late tick also the seconds it skipped, in order;
  // nothing when the reading is not past the last examined second (a second
  // read twice, or a clock set back within kRepeatWindow), until the clock
  // passes that second. When the UTC offset moved since the last reading, no
  // more than kCatchUpWindow passed and `zone` foresaw the change (daylight
  // saving, not another time zone chosen), `zone` places it: the local
  // seconds it skipped come out as skipped, and those it repeats are not
  // examined again.
  CursorStep advance(const ClockReading& reading, const LocalZone& zone);

  // A scheduler starts within a second that nobody may have examined: a task
  // due in it would be lost, since the first tick comes at the next second.
  // Started so, the cursor has that first tick examine the second of
  // `reading` too, as a late tick would. Does nothing once a tick advanced it.
  void startWithin(const ClockReading& reading);

 private:
  CursorStep acrossOffsetChange(const ClockReading& previous, const ClockReading& reading,
                                const LocalZone& zone);

  std::optional<LocalTime> lastExamined_;
  ClockReading lastReading_;
};

}  // namespace kiv
