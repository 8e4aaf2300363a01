// Reading dates typed as "mm/dd/yyyy", with or without a time.
#pragma once

#include <string>

#include "support/date_time.h"

namespace quorvid {

/// A date value read from text, or why it could not be read.
struct TDateValue {
  bool Ok = false;
  TDateTime Value = 0.0;
  std::string Error;  // such as "13-1-2020 is not a valid date"
};

/// Reads a date, a time, or a date followed by a blank and a time, with the
/// process settings and the local clock. The date is month/day/year, month/day
/// (this year) or day (this month); a one- or two-digit year is put into the
/// 50-year window around now. The time is h[:n[:s[.z]]] with an optional AM or
/// PM. Fails for any other character, a fourth number or an impossible date
/// or time.
TDateValue ParseDateTime(const std::string& text);

/// The same with explicit settings and clock reading `now`.
TDateValue ParseDateTime(const std::string& text, const TFormatSettings& settings,
                         TDateTime now);

/// The parser of the date filters: like ParseDateTime, but digits after the
/// first "." are milliseconds filled to three digits ("30.5" is 30.500 s),
/// and a time without a date means that time on the day that `FormatDate`
/// of now with `todayPattern` names ("mm/dd/yyyy": today).
TDateValue ParseDate(const std::string& text, const std::string& todayPattern);

/// The same with explicit settings and clock reading `now`.
TDateValue ParseDate(const std::string& text, const std::string& todayPattern,
                     const TFormatSettings& settings, TDateTime now);

}  // namespace quorvid
