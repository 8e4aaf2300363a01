#include "platform/date_picture.h"

namespace quorvid::platform {

namespace {

void AppendLiteral(std::string& out, char c) {
  if (c == '%') out += '%';
  out += c;
}

}  // namespace

std::string StrftimeFromDatePicture(std::string_view picture) {
  std::string out;
  size_t i = 0;
  while (i < picture.size()) {
    const char c = picture[i];
    if (c == '\'') {
      // Quoted text, where two quotes stand for one; an open quote runs to the end.
      ++i;
      while (i < picture.size()) {
        if (picture[i] != '\'') {
          AppendLiteral(out, picture[i++]);
        } else if (i + 1 < picture.size() && picture[i + 1] == '\'') {
          out += '\'';
          i += 2;
        } else {
          ++i;
          break;
        }
      }
      continue;
    }
    if (c != 'd' && c != 'M' && c != 'y' && c != 'g') {
      AppendLiteral(out, c);
      ++i;
      continue;
    }
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    i += run;
    switch (c) {
      case 'd':
        out += run == 1 ? "%-d" : run == 2 ? "%d" : run == 3 ? "%a" : "%A";
        break;
      case 'M':
        out += run == 1 ? "%-m" : run == 2 ? "%m" : run == 3 ? "%b" : "%B";
        break;
      case 'y':
        // One "y" is the year in the century without a leading zero; the
        // program's patterns have no such field, so it reads as two digits.
        out += run <= 2 ? "%y" : "%Y";
        break;
      default:
        return "";
    }
  }
  return out;
}

}  // namespace quorvid::platform
