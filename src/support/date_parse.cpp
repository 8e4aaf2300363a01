#include "support/date_parse.h"

#include <cctype>
#include <cmath>
#include <vector>

#include "support/date_format.h"

namespace quorvid {

namespace {

enum class DateOrder { MDY, DMY, YMD };

// The order of day, month and year follows the short date pattern.
DateOrder OrderOf(const std::string& shortDateFormat) {
  for (const char c : shortDateFormat) {
    switch (std::tolower(static_cast<unsigned char>(c))) {
      case 'd':
        return DateOrder::DMY;
      case 'y':
        return DateOrder::YMD;
      case 'm':
        return DateOrder::MDY;
      default:
        break;
    }
  }
  return DateOrder::MDY;
}

std::string InvalidFormat(const std::string& text) {
  return "\"" + text + "\" is not a valid date format";
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// One number of up to nine digits; false when there is none or it is longer.
bool ReadDigits(const std::string& text, size_t& at, int& number, size_t& digits) {
  const size_t start = at;
  number = 0;
  while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
    if (at - start >= 9) return false;
    number = number * 10 + (text[at] - '0');
    ++at;
  }
  digits = at - start;
  return digits > 0;
}

TDateValue ParseDatePart(const std::string& rawText, const TFormatSettings& settings,
                         TDateTime now) {
  TDateValue result;
  const std::string text = Trim(rawText);
  std::vector<int> numbers;
  size_t lastDigits = 0;
  size_t at = 0;
  while (true) {
    int number = 0;
    size_t digits = 0;
    if (!ReadDigits(text, at, number, digits) || numbers.size() == 3) {
      result.Error = InvalidFormat(rawText);
      return result;
    }
    numbers.push_back(number);
    lastDigits = digits;
    if (at == text.size()) break;
    if (text[at] != settings.DateSeparator) {
      result.Error = InvalidFormat(rawText);
      return result;
    }
    ++at;
  }

  const TDateParts today = DecodeDateTime(now);
  const DateOrder order = OrderOf(settings.ShortDateFormat);
  int year = today.year;
  int month = today.month;
  int day = 0;
  if (numbers.size() == 1) {
    day = numbers[0];
  } else if (numbers.size() == 2) {
    month = order == DateOrder::DMY ? numbers[1] : numbers[0];
    day = order == DateOrder::DMY ? numbers[0] : numbers[1];
  } else {
    size_t yearDigits = lastDigits;
    switch (order) {
      case DateOrder::MDY:
        month = numbers[0], day = numbers[1], year = numbers[2];
        break;
      case DateOrder::DMY:
        day = numbers[0], month = numbers[1], year = numbers[2];
        break;
      case DateOrder::YMD:
        year = numbers[0], month = numbers[1], day = numbers[2];
        yearDigits = text.find(settings.DateSeparator);
        break;
    }
    if (yearDigits <= 2) {
      const int window = settings.TwoDigitYearCenturyWindow;
      const int centuryBase = today.year - window;
      year += centuryBase / 100 * 100;
      if (window > 0 && year < centuryBase) year += 100;
    }
  }
  const auto date = TryEncodeDate(year, month, day);
  if (!date) {
    result.Error = std::to_string(year) + "-" + std::to_string(month) + "-" +
                   std::to_string(day) + " is not a valid date";
    return result;
  }
  result.Ok = true;
  result.Value = *date;
  return result;
}

void SkipBlanks(const std::string& text, size_t& at) {
  while (at < text.size() && text[at] == ' ') ++at;
}

bool ScanWord(const std::string& text, size_t& at, const std::string& word) {
  size_t probe = at;
  SkipBlanks(text, probe);
  if (word.empty() || text.size() - probe < word.size()) return false;
  for (size_t k = 0; k < word.size(); ++k)
    if (std::toupper(static_cast<unsigned char>(text[probe + k])) !=
        std::toupper(static_cast<unsigned char>(word[k])))
      return false;
  at = probe + word.size();
  return true;
}

// -1 none, 0 for AM, 12 for PM.
int ScanAmPm(const std::string& text, size_t& at, const TFormatSettings& settings) {
  if (ScanWord(text, at, settings.TimeAMString) || ScanWord(text, at, "AM")) return 0;
  if (ScanWord(text, at, settings.TimePMString) || ScanWord(text, at, "PM")) return 12;
  return -1;
}

bool ScanNumber(const std::string& text, size_t& at, int& number) {
  SkipBlanks(text, at);
  size_t digits = 0;
  return ReadDigits(text, at, number, digits);
}

bool ScanChar(const std::string& text, size_t& at, char c) {
  size_t probe = at;
  SkipBlanks(text, probe);
  if (probe >= text.size() || text[probe] != c) return false;
  at = probe + 1;
  return true;
}

TDateValue ParseTimePart(const std::string& text, const TFormatSettings& settings) {
  TDateValue result;
  result.Error = InvalidFormat(text);
  size_t at = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  if (!ScanNumber(text, at, hour)) return result;
  if (ScanChar(text, at, settings.TimeSeparator)) {
    if (!ScanNumber(text, at, minute)) return result;
    if (ScanChar(text, at, settings.TimeSeparator)) {
      if (!ScanNumber(text, at, second)) return result;
      if (ScanChar(text, at, '.') && !ScanNumber(text, at, millisecond)) return result;
    }
  }
  const int baseHour = ScanAmPm(text, at, settings);
  SkipBlanks(text, at);
  if (at != text.size()) return result;
  if (baseHour >= 0) {
    if (hour == 0 || hour > 12) return result;
    hour = (hour == 12 ? 0 : hour) + baseHour;
  }
  const auto time = TryEncodeTime(hour, minute, second, millisecond);
  if (!time) {
    result.Error = std::to_string(hour) + ":" + std::to_string(minute) + ":" +
                   std::to_string(second) + "." + std::to_string(millisecond) +
                   " is not a valid time";
    return result;
  }
  result.Ok = true;
  result.Error.clear();
  result.Value = *time;
  return result;
}

}  // namespace

TDateValue ParseDateTime(const std::string& text) {
  return ParseDateTime(text, ProcessFormatSettings(), Now());
}

TDateValue ParseDateTime(const std::string& text, const TFormatSettings& settings,
                         TDateTime now) {
  // A time separator marks a time; the blank before it ends the date.
  const size_t separator = text.find(settings.TimeSeparator);
  if (separator == std::string::npos) return ParseDatePart(text, settings, now);
  const size_t blank = text.rfind(' ', separator);
  if (blank == std::string::npos) return ParseTimePart(text, settings);

  TDateValue date = ParseDatePart(text.substr(0, blank), settings, now);
  if (!date.Ok) return date;
  TDateValue time = ParseTimePart(text.substr(blank + 1), settings);
  if (!time.Ok) return time;
  date.Value = date.Value >= 0 ? date.Value + time.Value : date.Value - time.Value;
  return date;
}

TDateValue ParseDate(const std::string& text, const std::string& todayPattern) {
  return ParseDate(text, todayPattern, ProcessFormatSettings(), Now());
}

TDateValue ParseDate(const std::string& text, const std::string& todayPattern,
                     const TFormatSettings& settings, TDateTime now) {
  static const std::string kBaseDate = "12/30/1899";
  std::string padded = text;
  const size_t dot = text.find('.');
  if (dot != std::string::npos) {
    std::string fraction = text.substr(dot + 1);
    if (fraction.size() < 3) fraction.append(3 - fraction.size(), '0');
    padded = text.substr(0, dot) + "." + fraction;
  }
  TDateValue result = ParseDateTime(padded, settings, now);
  if (!result.Ok) return result;

  const TDateText stamp = FormatDate("mm/dd/yyyy hh:nn:ss.zzz", result.Value, settings);
  if (stamp.Text.rfind(kBaseDate, 0) != 0 || text.find(kBaseDate) != std::string::npos)
    return result;

  // A time alone: that time on the day the caller's pattern names for now.
  const TDateText today = FormatDate(todayPattern, now, settings);
  if (!today.Ok) {
    result.Ok = false;
    result.Error = today.Error;
    return result;
  }
  const TDateValue day = ParseDateTime(today.Text, settings, now);
  if (!day.Ok) return day;
  result.Value = std::trunc(day.Value) + result.Value;
  return result;
}

}  // namespace quorvid
