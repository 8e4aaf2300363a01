// Conversion between the program's UTF-8 text and a numbered code page
// (65001 UTF-8, 1200/1201 UTF-16 LE/BE, 20127 ASCII, 28591-28605 ISO-8859-x,
// any other number the system's table of that number: iconv's "CP" table on
// POSIX, the code page of that number on Windows).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvid::platform {

inline constexpr uint16_t kUtf8CodePage = 65001;
inline constexpr uint16_t kUtf16LeCodePage = 1200;
inline constexpr uint16_t kUtf16BeCodePage = 1201;

/// True when text converts both ways between UTF-8 and code page `id`.
bool CodePageAvailable(uint16_t id);

/// `utf8` in code page `id`. Characters the code page lacks, and bytes that
/// are not valid UTF-8, become "?". Code page 65001 (or one that is not
/// available) returns the text unchanged.
std::string Utf8ToCodePage(std::string_view utf8, uint16_t id);

/// `bytes` in code page `id` as UTF-8; bytes that do not decode become "?".
/// Code page 65001 (or one that is not available) returns the bytes unchanged.
std::string CodePageToUtf8(std::string_view bytes, uint16_t id);

}  // namespace quorvid::platform
