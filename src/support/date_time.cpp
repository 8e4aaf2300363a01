#include "support/date_time.h"

#include <cmath>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/file_info.h"

namespace quorvid {

namespace {

constexpr int64_t kMsPerDay = 86400000;
// Days from 1899-12-30 to 1970-01-01.
constexpr int64_t kUnixEpochDays = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Whole days and milliseconds of the day, the way the value is read:
// the integer part is the day, the fraction (taken positive) the time.
void SplitValue(TDateTime value, int64_t& days, int64_t& ms) {
  const int64_t total = std::llround(value * static_cast<double>(kMsPerDay));
  days = total / kMsPerDay;
  ms = std::llabs(total) % kMsPerDay;
}

TFormatSettings MakeProcessSettings() {
  TFormatSettings s;
  s.DateSeparator = '/';
  s.TimeSeparator = ':';
  s.ShortDateFormat = "mm/dd/yyyy";
  s.LongDateFormat = "dddd, mmmm dd, yyyy";
  s.ShortTimeFormat = "hh:nn:ss";
  s.LongTimeFormat = "hh:nn:ss";
  s.TimeAMString = "AM";
  s.TimePMString = "PM";
  s.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  s.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                      "July",    "August",   "September", "October", "November", "December"};
  s.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  s.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  s.TwoDigitYearCenturyWindow = 50;
  return s;
}

}  // namespace

const TFormatSettings& ProcessFormatSettings() {
  static const TFormatSettings settings = MakeProcessSettings();
  return settings;
}

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return std::nullopt;
  return static_cast<TDateTime>(DaysFromCivil(year, month, day) + kUnixEpochDays);
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999)
    return std::nullopt;
  const int64_t ms = ((hour * 60 + minute) * 60 + second) * 1000LL + millisecond;
  return static_cast<TDateTime>(ms) / static_cast<TDateTime>(kMsPerDay);
}

std::optional<TDateTime> TryEncodeDateTime(const TDateParts& parts) {
  const auto date = TryEncodeDate(parts.year, parts.month, parts.day);
  const auto time = TryEncodeTime(parts.hour, parts.minute, parts.second, parts.millisecond);
  if (!date || !time) return std::nullopt;
  // Before the base day the time still counts forward from that day's start.
  return *date < 0 ? *date - *time : *date + *time;
}

TDateParts DecodeDateTime(TDateTime value) {
  int64_t days = 0;
  int64_t ms = 0;
  SplitValue(value, days, ms);
  TDateParts parts;
  CivilFromDays(days - kUnixEpochDays, parts.year, parts.month, parts.day);
  parts.millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  parts.second = static_cast<int>(ms % 60);
  ms /= 60;
  parts.minute = static_cast<int>(ms % 60);
  parts.hour = static_cast<int>(ms / 60);
  return parts;
}

int DayOfWeek(TDateTime value) {
  int64_t days = 0;
  int64_t ms = 0;
  SplitValue(value, days, ms);
  // 1899-12-30 was a Saturday.
  return static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
}

TDateTime Now() {
  return TryEncodeDateTime(platform::LocalNow()).value_or(0.0);
}

std::optional<TDateTime> UnixTimeToDateTime(std::time_t t) {
  const auto local = platform::ToLocalTime(t);
  if (!local) return std::nullopt;
  return TryEncodeDateTime(*local);
}

std::optional<std::time_t> FileAge(const std::string& fileName) {
  const platform::FileStatus status = platform::StatPath(fileName);
  if (status.kind == platform::FileKind::Missing || status.kind == platform::FileKind::Directory)
    return std::nullopt;
  return status.modified;
}

std::optional<TDateTime> FileDate(const std::string& fileName) {
  const auto age = FileAge(fileName);
  if (!age) return std::nullopt;
  return UnixTimeToDateTime(*age);
}

}  // namespace quorvid
