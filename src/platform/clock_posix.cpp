#include "platform/clock.h"

#include <langinfo.h>
#include <locale.h>
#include <time.h>

namespace quorvid::platform {

namespace {

LocalTime FromTm(const struct tm& tm, int millisecond) {
  LocalTime local;
  local.year = tm.tm_year + 1900;
  local.month = tm.tm_mon + 1;
  local.day = tm.tm_mday;
  local.hour = tm.tm_hour;
  local.minute = tm.tm_min;
  local.second = tm.tm_sec;
  local.millisecond = millisecond;
  return local;
}

}  // namespace

LocalTime LocalNow() {
  struct timespec ts {};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  // localtime_r need not look at TZ again; tzset makes a changed TZ count.
  ::tzset();
  struct tm tm {};
  if (::localtime_r(&ts.tv_sec, &tm) == nullptr) return LocalTime{1970, 1, 1, 0, 0, 0, 0};
  return FromTm(tm, static_cast<int>(ts.tv_nsec / 1000000));
}

std::optional<LocalTime> ToLocalTime(std::time_t t) {
  ::tzset();
  struct tm tm {};
  if (::localtime_r(&t, &tm) == nullptr) return std::nullopt;
  return FromTm(tm, 0);
}

std::optional<std::time_t> FromLocalTime(const LocalTime& local) {
  ::tzset();
  struct tm tm {};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  tm.tm_isdst = -1;
  tm.tm_wday = -1;
  std::time_t t = ::mktime(&tm);
  // -1 is also a valid moment (one second before 1970); a real failure
  // leaves the weekday unfilled.
  if (t == static_cast<std::time_t>(-1) && tm.tm_wday == -1) return std::nullopt;
  return t;
}

std::string LocaleShortDateFormat() {
  // A private locale object, so the process locale (and every other
  // conversion in the program) stays the C locale.
  locale_t locale = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return "";
  const char* format = ::nl_langinfo_l(D_FMT, locale);
  std::string result = format != nullptr ? format : "";
  ::freelocale(locale);
  return result;
}

}  // namespace quorvid::platform
