#include "modes/date_filter.h"

#include <cmath>

#include "modes/exit_codes.h"
#include "output/run_stop.h"
#include "support/date_format.h"
#include "support/date_parse.h"
#include "support/date_time.h"

namespace quorvid {

namespace {

namespace ec = exit_code;

constexpr const char* kNoHashDefaultFormat = "mm/dd/yyyy hh:nn AM/PM";
constexpr const char* kStampDefaultFormat = "yyyy.mm.dd-hh:nn";
constexpr const char* kZeroDateDefaultText = "1899.12.30-00:00";
constexpr const char* kRulerDefault = " ----------------";
constexpr const char* kBaseDateText = "12/30/1899";

// Patterns that supply the day for a --bd or --ad value holding only a time.
constexpr const char* kEndOfDayPattern = "mm/dd/yyyy 23:59:59";
constexpr const char* kStartOfDayPattern = "mm/dd/yyyy 00:00:00";
// Without an upper bound every file is older than this.
constexpr double kOpenEndDays = 366.0;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string FileAccessMessage(const std::string& fileName) {
  return "ERROR: Could not access the date/time of the file! " + Quoted(fileName);
}

std::string BadFormatMessage(const std::string& pattern) {
  return "ERROR: An invalid date format was provided! " + Quoted(pattern);
}

std::string BadConversionMessage(const std::string& dateText) {
  return "ERROR: An invalid date conversion was attempted! " + Quoted(dateText);
}

// The date through `pattern`; without -$ an unusable pattern gives way to
// `fallbackPattern` and exit code 129, with -$ it stops the run.
std::string FormatWithFallback(RunSettings& settings, TDateTime date, const std::string& pattern,
                               const std::string& fallbackPattern, bool quoted) {
  const std::string quote = quoted ? "\"" : "";
  TDateText text = FormatDate(pattern, date);
  if (!text.Ok) {
    if (settings.ExitOnBadDate.Found)
      StopWithError(ec::kBadDateConversion, BadFormatMessage(pattern));
    text = FormatDate(fallbackPattern, date);
    settings.ExitCode = ec::kFallbackDateUsed;
  }
  return quote + text.Text + quote;
}

size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

double EndOfDay(double day) {
  const double lastSecond = TryEncodeTime(23, 59, 59, 0).value_or(0.0);
  // Before the base day the time of day is counted the other way.
  return day < 0 ? day - lastSecond : day + lastSecond;
}

}  // namespace

void SetUpDateDisplay(RunSettings& settings) {
  settings.DateTimeFormat = kNoHashDefaultFormat;
  settings.DateStampFormat = kStampDefaultFormat;
  settings.ZeroDateText = kZeroDateDefaultText;
  settings.DateRuler = kRulerDefault;
  if (!settings.DateFormat.Found) return;

  const std::string& pattern = settings.DateFormat.Value1;
  if (pattern.empty()) {
    if (settings.LocaleDateTimeFormat.empty())
      settings.LocaleDateTimeFormat = LocaleShortDatePattern() + " hh:nn AM/PM";
    settings.DateTimeFormat = settings.LocaleDateTimeFormat;
    return;
  }
  settings.DateTimeFormat = pattern;
  settings.DateStampFormat = pattern;
  // Formatting the base day checks the pattern before any file is read.
  settings.ZeroDateText = DateString(settings, kBaseDateText, pattern, kStampDefaultFormat, false);
  settings.DateRuler = " " + std::string(CharacterCount(settings.ZeroDateText), '-');
}

std::string FileDateString(RunSettings& settings, const std::string& fileName,
                           const std::string& pattern, const std::string& fallbackPattern,
                           bool quoted) {
  const std::optional<TDateTime> date = FileDate(fileName);
  if (!date) {
    if (settings.ExitOnBadDate.Found)
      StopWithError(ec::kBadDateConversion, FileAccessMessage(fileName));
    settings.ExitCode = ec::kFallbackDateUsed;
  }
  return FormatWithFallback(settings, date.value_or(0.0), pattern, fallbackPattern, quoted);
}

std::string DateString(RunSettings& settings, const std::string& dateText,
                       const std::string& pattern, const std::string& fallbackPattern,
                       bool quoted) {
  const TDateValue date = ParseDate(dateText, "mm/dd/yyyy");
  if (!date.Ok) {
    if (settings.ExitOnBadDate.Found)
      StopWithError(ec::kInvalidDate, BadConversionMessage(dateText));
    settings.ExitCode = ec::kFallbackDateUsed;
  }
  return FormatWithFallback(settings, date.Ok ? date.Value : 0.0, pattern, fallbackPattern,
                            quoted);
}

void SetUpDateFilter(RunSettings& settings) {
  settings.DateFilterActive = settings.BeforeThisDate.Found || settings.AfterThisDate.Found ||
                              settings.OlderThan.Found || settings.NewerThan.Found;
  const TDateTime now = Now();
  settings.BeforeDate = now + kOpenEndDays;
  settings.AfterDate = 0.0;
  settings.BadDateText.clear();

  if (settings.BeforeThisDate.Found || settings.AfterThisDate.Found) {
    // A value that was given but cannot be read counts as bad even when it is
    // empty, so -$ never lets a typing slip widen the filter silently.
    bool badDate = false;
    if (settings.BeforeThisDate.Found) {
      const TDateValue before = ParseDate(settings.BeforeThisDate.Value1, kEndOfDayPattern);
      if (before.Ok) {
        settings.BeforeDate = before.Value;
      } else {
        settings.BadDateText = settings.BeforeThisDate.Value1;
        badDate = true;
      }
    }
    if (settings.AfterThisDate.Found) {
      const TDateValue after = ParseDate(settings.AfterThisDate.Value1, kStartOfDayPattern);
      if (after.Ok) {
        settings.AfterDate = after.Value;
      } else {
        settings.BadDateText = settings.AfterThisDate.Value1;
        badDate = true;
      }
    }
    if (badDate && settings.ExitOnBadDate.Found) {
      settings.HelpSections = help_section::Directory;
      StopWithError(ec::kBadDateConversion, BadConversionMessage(settings.BadDateText));
    }
  }

  if (settings.OlderThan.Found || settings.NewerThan.Found) {
    // Whole local days: the end of the day N days ago, the start of the day
    // N days ago.
    const double today = std::floor(now);
    if (settings.OlderThan.Found) settings.BeforeDate = EndOfDay(today - settings.OlderThanDays);
    if (settings.NewerThan.Found) settings.AfterDate = today - settings.NewerThanDays;
  }
}

bool InDateRange(const RunSettings& settings, const std::string& fileName) {
  const TDateTime date = FileDate(fileName).value_or(0.0);
  if (settings.AfterDate < settings.BeforeDate)
    return settings.AfterDate <= date && date <= settings.BeforeDate;
  // Bounds the other way round select everything outside the gap.
  return date < settings.BeforeDate || date > settings.AfterDate;
}

}  // namespace quorvid
