#include "local_clock.h"

#include "windows_api.h"

#include <chrono>

#include "wide_text.h"

namespace kiv {
namespace {

SYSTEMTIME systemTimeOf(LocalTime time) {
  const CivilTime civil = toCivil(time);
  const std::chrono::weekday weekday{std::chrono::floor<std::chrono::days>(time)};
  SYSTEMTIME system{};
  system.wYear = static_cast<WORD>(civil.year);
  system.wMonth = static_cast<WORD>(civil.month);
  system.wDayOfWeek = static_cast<WORD>(weekday.c_encoding());
  system.wDay = static_cast<WORD>(civil.day);
  system.wHour = static_cast<WORD>(civil.hour);
  system.wMinute = static_cast<WORD>(civil.minute);
  system.wSecond = static_cast<WORD>(civil.second);
  return system;
}

// Calls a locale function twice: once for the size, once for the text.
template <typename Fill>
std::string localeText(Fill fill) {
  const int size = fill(nullptr, 0);
  if (size <= 0) return "";
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  const int written = fill(text.data(), size);
  text.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
  return fromWide(text);
}

LocalTime fromSystemTime(const SYSTEMTIME& time) {
  return fromCivil({time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond});
}

SYSTEMTIME systemTimeAt(std::chrono::sys_seconds instant) {
  return systemTimeOf(LocalTime{instant.time_since_epoch()});
}

// The local time of a UTC moment; the moment itself when the zone cannot say.
LocalTime localAt(const SYSTEMTIME& utc) {
  SYSTEMTIME local{};
  if (SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) == FALSE) return fromSystemTime(utc);
  return fromSystemTime(local);
}

}  // namespace

FILETIME preciseSystemTime() {
  using Reader = void(WINAPI*)(LPFILETIME);
  static const auto precise = reinterpret_cast<Reader>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
  FILETIME now{};
  (precise != nullptr ? precise : GetSystemTimeAsFileTime)(&now);
  return now;
}

ClockReading readLocalClock() {
  const FILETIME now = preciseSystemTime();
  SYSTEMTIME utc{};
  if (FileTimeToSystemTime(&now, &utc) == FALSE) GetSystemTime(&utc);
  const LocalTime local = localAt(utc);
  return {local, local - fromSystemTime(utc)};
}

std::chrono::seconds Win32LocalZone::utcOffsetAt(std::chrono::sys_seconds instant) const {
  const SYSTEMTIME utc = systemTimeAt(instant);
  return localAt(utc) - fromSystemTime(utc);
}

std::string userGeneralDateTime(LocalTime time) {
  const SYSTEMTIME system = systemTimeOf(time);
  const std::string date = localeText([&](wchar_t* text, int size) {
    return GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &system, nullptr, text, size);
  });
  // Without flags and format, the time comes in the user's long time format.
  const std::string clock = localeText([&](wchar_t* text, int size) {
    return GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &system, nullptr, text, size);
  });
  return date + " " + clock;
}

std::string userMonthAbbreviation(int month) {
  return localeText([month](wchar_t* text, int size) {
    return GetLocaleInfoW(LOCALE_USER_DEFAULT,
                          static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + month - 1), text, size);
  });
}

}  // namespace kiv
