// Turning date values into text with a pattern such as "yyyy.mm.dd-hh:nn".
#pragma once

#include <optional>
#include <string>

#include "support/date_time.h"

namespace quorvid {

/// The text of a date, or why there is none.
struct TDateText {
  bool Ok = false;
  std::string Text;   // the formatted date when Ok
  std::string Error;  // "Illegal character in format string" when not Ok
};

/// The text of the "Illegal character in format string" error.
inline constexpr const char* kIllegalFormatCharText = "Illegal character in format string";

/// Formats `value` with `pattern` and the process settings. Fails only for an
/// "a" that does not start "am/pm", "a/p" or "ampm" (outside quotes). The
/// result holds at most 255 characters.
TDateText FormatDate(const std::string& pattern, TDateTime value);

/// The same with explicit settings.
TDateText FormatDate(const std::string& pattern, TDateTime value,
                     const TFormatSettings& settings);

/// A C library date format (strftime form, such as "%d.%m.%Y") in the
/// pattern language ("dd.mm.yyyy"); nullopt when it uses a conversion the
/// pattern language has no token for.
std::optional<std::string> TranslateLocaleDateFormat(const std::string& cFormat);

/// The user's locale short date pattern in the pattern language;
/// "mm/dd/yyyy" when the locale's format cannot be had or translated.
std::string LocaleShortDatePattern();

}  // namespace quorvid
