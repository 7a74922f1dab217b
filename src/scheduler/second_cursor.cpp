#include "scheduler/second_cursor.h"

namespace kiv {

SecondRange SecondCursor::advance(LocalTime now) {
  constexpr std::chrono::seconds kOne{1};
  const std::chrono::seconds ahead = lastExamined_ ? now - *lastExamined_ : kOne;
  if (ahead.count() <= 0 && -ahead <= kRepeatWindow) return SecondRange{};
  lastExamined_ = now;
  if (ahead.count() <= 0 || ahead > kCatchUpWindow) return SecondRange{now, kOne};
  return SecondRange{now - ahead + kOne, ahead};
}

}  // namespace kiv
