#include "platform/environment.h"

#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace quorvid::platform {

std::optional<std::string> EnvironmentVariable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

std::string ExecutablePath() {
  std::vector<char> buf(4096);
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return "";
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

namespace {

// Translates a strftime date pattern into the program's pattern language.
// Only the day, month and year fields and literal separators have an
// equivalent; anything else makes the pattern unusable.
std::optional<std::string> TranslateDatePattern(const std::string& fmt) {
  std::string out;
  for (size_t i = 0; i < fmt.size(); ++i) {
    char c = fmt[i];
    if (c != '%') {
      // Letters would be read as pattern fields, so they cannot be literals.
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '"' || c == '\'')
        return std::nullopt;
      out += c;
      continue;
    }
    if (++i >= fmt.size()) return std::nullopt;
    char spec = fmt[i];
    if (spec == 'E' || spec == 'O' || spec == '-' || spec == '_' || spec == '0') {
      if (++i >= fmt.size()) return std::nullopt;  // modifiers keep the field's meaning
      spec = fmt[i];
    }
    switch (spec) {
      case 'd': out += "dd"; break;
      case 'e': out += "d"; break;
      case 'm': out += "mm"; break;
      case 'b': case 'h': out += "mmm"; break;
      case 'B': out += "mmmm"; break;
      case 'y': out += "yy"; break;
      case 'Y': out += "yyyy"; break;
      case 'a': out += "ddd"; break;
      case 'A': out += "dddd"; break;
      case 'D': out += "mm/dd/yy"; break;
      case 'F': out += "yyyy-mm-dd"; break;
      case '%': return std::nullopt;
      default: return std::nullopt;
    }
  }
  if (out.empty()) return std::nullopt;
  return out;
}

}  // namespace

std::string LocaleShortDatePattern() {
  // A locale object of its own, so the process-wide locale is left alone.
  locale_t loc = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) loc = ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  std::string fmt;
  if (loc != static_cast<locale_t>(0)) {
    const char* d = ::nl_langinfo_l(D_FMT, loc);
    if (d) fmt = d;
    ::freelocale(loc);
  }
  auto translated = TranslateDatePattern(fmt);
  return translated ? *translated : "mm/dd/yyyy";
}

}  // namespace quorvid::platform
