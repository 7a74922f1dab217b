#include "base/local_time.h"

namespace kiv {

CivilTime toCivil(LocalTime time) {
  using namespace std::chrono;
  const auto day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss clock{time - day};
  return {static_cast<int>(date.year()),
          static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day())),
          static_cast<int>(clock.hours().count()),
          static_cast<int>(clock.minutes().count()),
          static_cast<int>(clock.seconds().count())};
}

LocalTime fromCivil(const CivilTime& civil) {
  using namespace std::chrono;
  const local_days day{year{civil.year} / civil.month / civil.day};
  return day + hours{civil.hour} + minutes{civil.minute} + seconds{civil.second};
}

std::string dateTimeText(LocalTime time) {
  const CivilTime t = toCivil(time);
  return zeroPadded(t.year, 4) + '-' + zeroPadded(t.month, 2) + '-' + zeroPadded(t.day, 2) + ' ' +
         zeroPadded(t.hour, 2) + ':' + zeroPadded(t.minute, 2) + ':' + zeroPadded(t.second, 2);
}

std::string zeroPadded(int number, int width) {
  std::string digits = std::to_string(number);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

}  // namespace kiv
