#include "support/date_format.h"

#include <cctype>
#include <cstdio>
#include <string_view>

#include "platform/clock.h"

namespace quorvid {

namespace {

constexpr size_t kMaxFormattedChars = 255;
constexpr int kTopLevel = 1;
// Sub-patterns (c, f, t, ddddd, dddddd) are expanded one level deep only.
constexpr int kDeepestLevel = 2;

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (size_t k = 0; k < prefix.size(); ++k)
    if (Upper(text[at + k]) != Upper(prefix[k])) return false;
  return true;
}

// Byte length of the UTF-8 sequence starting at `at` (1 for ASCII and for
// stray bytes, so malformed text is still copied byte by byte).
size_t SequenceLength(std::string_view text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  size_t length = 1;
  if (lead >= 0xF0)
    length = 4;
  else if (lead >= 0xE0)
    length = 3;
  else if (lead >= 0xC0)
    length = 2;
  size_t k = 1;
  while (k < length && at + k < text.size() &&
         (static_cast<unsigned char>(text[at + k]) & 0xC0) == 0x80)
    ++k;
  return k;
}

// Characters in `text`, counted as SequenceLength walks it: a stray byte
// counts as one, so malformed text cannot slip past the length limit.
size_t Utf8Length(std::string_view text) {
  size_t count = 0;
  for (size_t at = 0; at < text.size(); at += SequenceLength(text, at)) ++count;
  return count;
}

// A 12-hour clock is used for the whole pattern when it holds an am/pm
// marker outside quotes.
bool HasTwelveHourMarker(std::string_view pattern) {
  char quote = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if ((c == 'a' || c == 'A') &&
               (StartsWithNoCase(pattern, i, "am/pm") || StartsWithNoCase(pattern, i, "a/p") ||
                StartsWithNoCase(pattern, i, "ampm"))) {
      return true;
    }
  }
  return false;
}

class Formatter {
 public:
  Formatter(TDateTime value, const TFormatSettings& settings)
      : settings_(settings), parts_(DecodeDateTime(value)), dayOfWeek_(DayOfWeek(value)) {}

  // False when the pattern holds an illegal character.
  bool Run(std::string_view pattern, int level, bool timePattern) {
    if (level > kDeepestLevel) return true;
    const bool twelveHour = HasTwelveHourMarker(pattern);
    // The letter token (or run of spaces) before the current one decides
    // whether an m means month or minutes.
    char lastToken = ' ';
    size_t i = 0;
    while (i < pattern.size()) {
      const char starter = pattern[i];
      const char token = Upper(starter);
      if (IsLetterToken(token)) {
        size_t count = 1;
        while (i + count < pattern.size() && Upper(pattern[i + count]) == token) ++count;
        const std::string_view written = pattern.substr(i, count);
        i += count;
        char effective = token;
        // Only m and mm can be minutes: mmm and longer always name the month.
        if (token == 'M' && count <= 2 && (lastToken == 'H' || timePattern)) effective = 'N';
        lastToken = effective;
        if (!AppendToken(effective, count, written, level, twelveHour)) return false;
      } else if (token == 'A') {
        if (StartsWithNoCase(pattern, i, "am/pm")) {
          Append(pattern.substr(parts_.hour >= 12 ? i + 3 : i, 2));
          i += 5;
        } else if (StartsWithNoCase(pattern, i, "a/p")) {
          Append(pattern.substr(parts_.hour >= 12 ? i + 2 : i, 1));
          i += 3;
        } else if (StartsWithNoCase(pattern, i, "ampm")) {
          Append(parts_.hour >= 12 ? settings_.TimePMString : settings_.TimeAMString);
          i += 4;
        } else {
          return false;
        }
      } else if (starter == '"' || starter == '\'') {
        const size_t close = pattern.find(starter, i + 1);
        const size_t end = close == std::string_view::npos ? pattern.size() : close;
        Append(pattern.substr(i + 1, end - i - 1));
        i = close == std::string_view::npos ? pattern.size() : close + 1;
      } else if (starter == ' ') {
        Append(pattern.substr(i, 1));
        lastToken = ' ';
        ++i;
      } else if (starter == '/') {
        Append(std::string_view(&settings_.DateSeparator, 1));
        ++i;
      } else if (starter == ':') {
        Append(std::string_view(&settings_.TimeSeparator, 1));
        ++i;
      } else {
        const size_t length = SequenceLength(pattern, i);
        Append(pattern.substr(i, length));
        i += length;
      }
    }
    return true;
  }

  const std::string& Text() const { return text_; }

 private:
  static bool IsLetterToken(char token) {
    return std::string_view("CDEFGHMNSTYZ").find(token) != std::string_view::npos;
  }

  bool AppendToken(char token, size_t count, std::string_view written, int level,
                   bool twelveHour) {
    switch (token) {
      case 'Y':
        if (count <= 2)
          AppendNumber(parts_.year % 100, 2);
        else
          AppendNumber(parts_.year, 4);
        return true;
      case 'M':
        if (count <= 2)
          AppendNumber(parts_.month, static_cast<int>(count));
        else if (count == 3)
          Append(settings_.ShortMonthNames[parts_.month - 1]);
        else
          Append(settings_.LongMonthNames[parts_.month - 1]);
        return true;
      case 'D':
        if (count <= 2) {
          AppendNumber(parts_.day, static_cast<int>(count));
          return true;
        }
        if (count == 3) {
          Append(settings_.ShortDayNames[dayOfWeek_ - 1]);
          return true;
        }
        if (count == 4) {
          Append(settings_.LongDayNames[dayOfWeek_ - 1]);
          return true;
        }
        return Run(count == 5 ? settings_.ShortDateFormat : settings_.LongDateFormat, level + 1,
                   false);
      case 'H': {
        int hour = parts_.hour;
        if (twelveHour) {
          if (hour == 0)
            hour = 12;
          else if (hour > 12)
            hour -= 12;
        }
        AppendNumber(hour, count >= 2 ? 2 : 1);
        return true;
      }
      case 'N':
        AppendNumber(parts_.minute, count >= 2 ? 2 : 1);
        return true;
      case 'S':
        AppendNumber(parts_.second, count >= 2 ? 2 : 1);
        return true;
      case 'Z':
        AppendNumber(parts_.millisecond, count >= 2 ? 3 : 1);
        return true;
      case 'T':
        return Run(count == 1 ? settings_.ShortTimeFormat : settings_.LongTimeFormat, level + 1,
                   true);
      case 'C':
        if (level >= kDeepestLevel) return true;
        if (!Run(settings_.ShortDateFormat, level + 1, false)) return false;
        if (parts_.hour != 0 || parts_.minute != 0 || parts_.second != 0) {
          Append(" ");
          return Run(settings_.LongTimeFormat, level + 1, true);
        }
        return true;
      case 'F':
        if (level >= kDeepestLevel) return true;
        if (!Run(settings_.ShortDateFormat, level + 1, false)) return false;
        Append(" ");
        return Run(settings_.LongTimeFormat, level + 1, true);
      case 'E':
      case 'G':
        // No era calendar on this platform: the letters stand as written.
        Append(written);
        return true;
      default:
        return true;
    }
  }

  // A piece that would push the text past the limit is left out whole.
  void Append(std::string_view piece) {
    const size_t length = Utf8Length(piece);
    if (length_ + length > kMaxFormattedChars) return;
    text_.append(piece);
    length_ += length;
  }

  void AppendNumber(int value, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
    Append(buffer);
  }

  const TFormatSettings& settings_;
  TDateParts parts_;
  int dayOfWeek_;
  std::string text_;
  size_t length_ = 0;
};

// The pattern-language form of one strftime conversion; "" when it has none.
std::string_view ConversionPattern(char conversion, bool unpadded) {
  switch (conversion) {
    case 'd':
      return unpadded ? "d" : "dd";
    case 'e':
      return "d";
    case 'm':
      return unpadded ? "m" : "mm";
    case 'y':
      return "yy";
    case 'Y':
      return "yyyy";
    case 'b':
    case 'h':
      return "mmm";
    case 'B':
      return "mmmm";
    case 'a':
      return "ddd";
    case 'A':
      return "dddd";
    case 'D':
      return "mm/dd/yy";
    case 'F':
      return "yyyy-mm-dd";
    default:
      return "";
  }
}

// Literal text of a C format: letters and quotes would be read as tokens,
// so such text is quoted.
bool AppendLiteral(std::string& out, const std::string& literal) {
  bool needsQuotes = false;
  for (unsigned char c : literal)
    if (std::isalpha(c) || c == '"' || c == '\'') needsQuotes = true;
  if (!needsQuotes) {
    out += literal;
    return true;
  }
  for (const char quote : {'"', '\''}) {
    if (literal.find(quote) == std::string::npos) {
      out += quote;
      out += literal;
      out += quote;
      return true;
    }
  }
  return false;
}

}  // namespace

TDateText FormatDate(const std::string& pattern, TDateTime value) {
  return FormatDate(pattern, value, ProcessFormatSettings());
}

TDateText FormatDate(const std::string& pattern, TDateTime value,
                     const TFormatSettings& settings) {
  Formatter formatter(value, settings);
  TDateText result;
  if (!formatter.Run(pattern, kTopLevel, false)) {
    result.Error = kIllegalFormatCharText;
    return result;
  }
  result.Ok = true;
  result.Text = formatter.Text();
  return result;
}

std::optional<std::string> TranslateLocaleDateFormat(const std::string& cFormat) {
  std::string out;
  std::string literal;
  size_t i = 0;
  while (i < cFormat.size()) {
    if (cFormat[i] != '%') {
      literal += cFormat[i++];
      continue;
    }
    ++i;
    if (i < cFormat.size() && cFormat[i] == '%') {
      literal += '%';
      ++i;
      continue;
    }
    bool unpadded = false;
    if (i < cFormat.size() && cFormat[i] == '-') {
      unpadded = true;
      ++i;
    }
    // Alternative-digit and era modifiers select the same fields.
    if (i < cFormat.size() && (cFormat[i] == 'E' || cFormat[i] == 'O')) ++i;
    if (i >= cFormat.size()) return std::nullopt;
    const std::string_view piece = ConversionPattern(cFormat[i++], unpadded);
    if (piece.empty()) return std::nullopt;
    if (!AppendLiteral(out, literal)) return std::nullopt;
    literal.clear();
    // Two conversions of the same letter side by side would read as one
    // longer token ("%d%d" is not "dddd").
    if (!out.empty() && Upper(out.back()) == Upper(piece.front())) return std::nullopt;
    out += piece;
  }
  if (!AppendLiteral(out, literal)) return std::nullopt;
  if (out.empty()) return std::nullopt;
  return out;
}

std::string LocaleShortDatePattern() {
  const auto translated = TranslateLocaleDateFormat(platform::LocaleShortDateFormat());
  return translated.value_or("mm/dd/yyyy");
}

}  // namespace quorvid
