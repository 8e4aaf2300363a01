// The local clock and local-time conversions (the TZ setting is honoured),
// and the locale's own short date format.
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

/// `t` in local time (whole seconds); nullopt when the C library cannot
/// convert it.
std::optional<LocalTime> ToLocalTime(std::time_t t);

/// The moment a local time names (milliseconds ignored); a time that falls in
/// a daylight-saving gap or overlap is resolved as the C library does.
/// nullopt when it cannot be represented.
std::optional<std::time_t> FromLocalTime(const LocalTime& local);

/// The C library's short date format (strftime form, such as "%m/%d/%y")
/// for the user's locale as the environment names it (LC_ALL, LC_TIME,
/// LANG); "" when that locale cannot be loaded.
std::string LocaleShortDateFormat();

}  // namespace quorvid::platform
