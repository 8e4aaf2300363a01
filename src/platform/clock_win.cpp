#include "platform/clock.h"

#include <windows.h>

#include "platform/date_picture.h"
#include "platform/windows_text.h"

namespace quorvid::platform {

namespace {

// FILETIME counts 100 ns steps from 1601-01-01.
constexpr int64_t kUnixEpochTicks = 116444736000000000;
constexpr int64_t kTicksPerSecond = 10000000;

LocalTime FromSystemTime(const SYSTEMTIME& time, int millisecond) {
  return LocalTime{time.wYear,   time.wMonth,  time.wDay,  time.wHour,
                   time.wMinute, time.wSecond, millisecond};
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

bool ToFileTime(int64_t seconds, FILETIME& time) {
  // Before 1601 or past what SYSTEMTIME can hold (the year 30827).
  if (seconds < -kUnixEpochTicks / kTicksPerSecond || seconds > 910692730085LL) return false;
  const uint64_t ticks = static_cast<uint64_t>(seconds * kTicksPerSecond + kUnixEpochTicks);
  time.dwLowDateTime = static_cast<DWORD>(ticks);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return true;
}

}  // namespace

LocalTime LocalNow() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return FromSystemTime(now, now.wMilliseconds);
}

std::optional<LocalTime> ToLocalTime(std::time_t t) {
  FILETIME utc{};
  SYSTEMTIME utcTime{};
  SYSTEMTIME local{};
  // The zone's rule for that date, not today's offset (which is what
  // FileTimeToLocalFileTime would apply).
  if (!ToFileTime(t, utc) || !::FileTimeToSystemTime(&utc, &utcTime) ||
      !::SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &local))
    return std::nullopt;
  return FromSystemTime(local, 0);
}

std::optional<std::time_t> FromLocalTime(const LocalTime& local) {
  // Fields out of range carry over, as with mktime: months into years, the
  // rest through a count of seconds.
  int64_t month = local.month - 1;
  const int64_t years = (month >= 0 ? month : month - 11) / 12;  // rounded down
  const int64_t year = local.year + years;
  month -= years * 12;
  if (year < 1601 || year > 30827) return std::nullopt;
  const int64_t wallSeconds = (DaysFromCivil(year, month + 1, 1) + local.day - 1) * 86400 +
                              int64_t{local.hour} * 3600 + int64_t{local.minute} * 60 +
                              local.second;
  FILETIME wall{};
  SYSTEMTIME wallTime{};
  SYSTEMTIME utcTime{};
  FILETIME utc{};
  if (!ToFileTime(wallSeconds, wall) || !::FileTimeToSystemTime(&wall, &wallTime) ||
      !::TzSpecificLocalTimeToSystemTime(nullptr, &wallTime, &utcTime) ||
      !::SystemTimeToFileTime(&utcTime, &utc))
    return std::nullopt;
  const int64_t ticks =
      static_cast<int64_t>((static_cast<uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime);
  // Exact: a SYSTEMTIME built from whole seconds has no fraction left.
  return static_cast<std::time_t>((ticks - kUnixEpochTicks) / kTicksPerSecond);
}

std::string LocaleShortDateFormat() {
  const int size = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, nullptr, 0);
  if (size <= 0) return "";
  std::wstring picture(static_cast<size_t>(size), L'\0');
  const int n =
      ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, picture.data(), size);
  if (n <= 0) return "";
  picture.resize(static_cast<size_t>(n - 1));  // without the terminating null
  return StrftimeFromDatePicture(Utf8FromWide(picture));
}

}  // namespace quorvid::platform
