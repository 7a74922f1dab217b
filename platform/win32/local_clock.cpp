#include "local_clock.h"

#include "windows_api.h"

#include <chrono>

#include "ansi_text.h"

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
  std::string text(static_cast<std::size_t>(size), '\0');
  const int written = fill(text.data(), size);
  text.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
  return fromAnsi(text);
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

LocalTime localNow() {
  const FILETIME utcTime = preciseSystemTime();
  SYSTEMTIME utc{};
  SYSTEMTIME now{};
  if (FileTimeToSystemTime(&utcTime, &utc) == FALSE ||
      SystemTimeToTzSpecificLocalTime(nullptr, &utc, &now) == FALSE) {
    GetLocalTime(&now);
  }
  return fromCivil({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}

std::string userGeneralDateTime(LocalTime time) {
  const SYSTEMTIME system = systemTimeOf(time);
  const std::string date = localeText([&](char* text, int size) {
    return GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &system, nullptr, text, size);
  });
  // Without flags and format, the time comes in the user's long time format.
  const std::string clock = localeText([&](char* text, int size) {
    return GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &system, nullptr, text, size);
  });
  return date + " " + clock;
}

std::string userMonthAbbreviation(int month) {
  return localeText([month](char* text, int size) {
    return GetLocaleInfoA(LOCALE_USER_DEFAULT,
                          static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + month - 1), text, size);
  });
}

}  // namespace kiv
