// Windows gives the locale's short date as a picture ("M/d/yyyy"); the
// program reads the strftime form the C library gives on POSIX, so the
// picture is translated. Portable, so that it is tested everywhere.
#pragma once

#include <string>
#include <string_view>

namespace quorvid::platform {

/// The strftime form of a Windows date picture: d dd ddd dddd, M MM MMM MMMM,
/// y yy yyyy, text in single quotes ('' for a quote) and any other character
/// as it stands ("M/d/yyyy" gives "%-m/%-d/%Y"). "" when the picture names
/// an era (g, gg), which strftime has no plain form for.
std::string StrftimeFromDatePicture(std::string_view picture);

}  // namespace quorvid::platform
