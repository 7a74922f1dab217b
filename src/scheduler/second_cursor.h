#pragma once

#include <chrono>
#include <cstddef>
#include <iterator>
#include <optional>

#include "base/local_time.h"

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

  Iterator begin() const { return Iterator{first_}; }
  Iterator end() const { return Iterator{first_ + count_}; }
  bool empty() const { return count_.count() == 0; }
  std::size_t size() const { return static_cast<std::size_t>(count_.count()); }

 private:
  LocalTime first_{};
  std::chrono::seconds count_{0};
};

// Remembers the last clock second the tick examined, so that each wall-clock
// second is examined once even when ticks come late or the clock is set back.
class SecondCursor {
 public:
  // Seconds skipped by a late tick are examined afterwards only within this
  // window. A larger step forward (a suspended machine, a clock set forward,
  // the hour a daylight-saving change leaves out) examines only the reading
  // itself: tasks of a long gap are not launched late.
  static constexpr std::chrono::seconds kCatchUpWindow{60};

  // A clock set back by up to this much repeats seconds already examined (the
  // hour the end of daylight saving repeats), and they are not examined again.
  // A clock set back further was corrected: waiting for it to catch up would
  // stop the scheduler for the whole step, so examining starts afresh.
  static constexpr std::chrono::seconds kRepeatWindow{std::chrono::hours{2}};

  // The seconds to examine at a tick that reads `now`: normally `now` alone;
  // after a late tick also the seconds it skipped, in order; nothing when
  // `now` is not past the last examined second (a second read twice, or a
  // clock set back within kRepeatWindow), until the clock passes that second.
  SecondRange advance(LocalTime now);

 private:
  std::optional<LocalTime> lastExamined_;
};

}  // namespace kiv
