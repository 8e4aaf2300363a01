// What the Windows twins share: the program's UTF-8 names and texts as the
// system's UTF-16, and the system's text for an error number. Windows only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvid::platform {

/// UTF-16 form of the program's UTF-8 `text`. A surrogate code point written
/// as three bytes (how Utf8FromWide keeps a name that is not valid UTF-16)
/// comes back as that surrogate, so every name read from the system opens
/// again; any other byte that is not UTF-8 becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view text);

/// UTF-16 of `text` for conversion to another code page: each broken
/// sequence (the bytes its lead byte promises, as far as they are there),
/// encoded surrogates included, becomes one "?", as iconv's conversions do
/// on POSIX.
std::wstring StrictWideFromUtf8(std::string_view text);

/// UTF-8 form of the system's UTF-16 `text`; a surrogate without its partner
/// is written as three bytes of its own rather than lost.
std::string Utf8FromWide(std::wstring_view text);

/// `path` as the wide name to pass to the file calls. A name too long for
/// the classic limit is made absolute and given the "\\?\" prefix, which
/// lifts the limit but takes the name literally, so "/" becomes "\" and "."
/// and ".." are resolved first.
std::wstring WidePath(std::string_view path);

/// The system's text for error number `code` in UTF-8, without the line end
/// the system appends; "Error N" when the system has no text for it.
std::string SystemErrorText(uint32_t code);

}  // namespace quorvid::platform
