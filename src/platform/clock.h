// The local clock and local-time conversions (in the user's time zone: TZ
// on POSIX, the system's setting on Windows), and the locale's own short
// date format.
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace quorvid::platform {

/// A moment in local time, broken down; month 1-12, day 1-31.
struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

/// The local clock now, to the millisecond.
LocalTime LocalNow();

/// `t` in local time (whole seconds), with the daylight-saving rule of that
/// date; nullopt when the system cannot convert it.
std::optional<LocalTime> ToLocalTime(std::time_t t);

/// The moment a local time names (milliseconds ignored); fields out of range
/// carry over (day 32 of January is 1 February). A time that falls in a
/// daylight-saving gap or overlap is resolved as the system does. nullopt
/// when it cannot be represented.
std::optional<std::time_t> FromLocalTime(const LocalTime& local);

/// The short date format of the user's locale in strftime form (such as
/// "%m/%d/%y"): on POSIX the C library's, for the locale the environment
/// names (LC_ALL, LC_TIME, LANG); on Windows the user's regional setting.
/// "" when that locale cannot be loaded or its format has no strftime form.
std::string LocaleShortDateFormat();

}  // namespace quorvid::platform
