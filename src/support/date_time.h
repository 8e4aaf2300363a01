// The date value, the process-wide format settings, and where dates come
// from: the local clock and the files' last-write times.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "platform/clock.h"

namespace quorvid {

/// Days since 1899-12-30 00:00 local time; the fraction is the time of day.
/// A value carries no time zone.
using TDateTime = double;

/// What formatting and parsing use for separators, names and sub-patterns.
struct TFormatSettings {
  char DateSeparator = '/';
  char TimeSeparator = ':';
  std::string ShortDateFormat;
  std::string LongDateFormat;
  std::string ShortTimeFormat;
  std::string LongTimeFormat;
  std::string TimeAMString;
  std::string TimePMString;
  std::array<std::string, 12> ShortMonthNames;
  std::array<std::string, 12> LongMonthNames;
  std::array<std::string, 7> ShortDayNames;  // Sunday first
  std::array<std::string, 7> LongDayNames;   // Sunday first
  int TwoDigitYearCenturyWindow = 50;
};

/// The program's settings: "/" and ":", "mm/dd/yyyy", "dddd, mmmm dd, yyyy",
/// "hh:nn:ss" for both time patterns, "AM"/"PM", English names, window 50.
const TFormatSettings& ProcessFormatSettings();

/// A date value taken apart (month 1-12, day 1-31, hour 0-23): the same
/// record the clock gives.
using TDateParts = platform::LocalTime;

/// The value of midnight on that day; nullopt for an impossible date or a
/// year outside 1..9999.
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);

/// The fraction of a day for that time; nullopt unless hour < 24,
/// minute < 60, second < 60 and millisecond < 1000.
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond);

/// Date and time together; nullopt when either part is invalid.
std::optional<TDateTime> TryEncodeDateTime(const TDateParts& parts);

/// Takes a value apart, rounded to the millisecond. For values before
/// 1899-12-30 the fraction is read as a positive time of that day.
TDateParts DecodeDateTime(TDateTime value);

/// 1 (Sunday) to 7 (Saturday).
int DayOfWeek(TDateTime value);

/// The local clock now.
TDateTime Now();

/// A moment of the system clock as a local date value, in whole seconds;
/// nullopt when it lies outside years 1..9999 or cannot be converted.
std::optional<TDateTime> UnixTimeToDateTime(std::time_t t);

/// The last-write time of a name (links followed); nullopt when the name
/// does not exist or names a folder.
std::optional<std::time_t> FileAge(const std::string& fileName);

/// The file's date: its last-write time in local time, whole seconds.
/// nullopt when the name has no date (missing, a folder, out of range).
std::optional<TDateTime> FileDate(const std::string& fileName);

}  // namespace quorvid
