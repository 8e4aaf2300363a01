#include "platform/text_encoding.h"

#include <windows.h>

#include "platform/windows_text.h"

namespace quorvid::platform {

namespace {

constexpr wchar_t kQuestionMark = L'?';

bool IsUtf16(uint16_t id) { return id == kUtf16LeCodePage || id == kUtf16BeCodePage; }

// `wide` with every surrogate that has no partner turned into "?".
std::wstring PairedOnly(std::wstring wide) {
  for (size_t i = 0; i < wide.size(); ++i) {
    const auto unit = static_cast<uint16_t>(wide[i]);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < wide.size() &&
        static_cast<uint16_t>(wide[i + 1]) >= 0xDC00 &&
        static_cast<uint16_t>(wide[i + 1]) < 0xE000) {
      ++i;
    } else if (unit >= 0xD800 && unit < 0xE000) {
      wide[i] = kQuestionMark;
    }
  }
  return wide;
}

std::string Utf16Bytes(std::wstring_view wide, bool bigEndian) {
  std::string out;
  out.reserve(wide.size() * 2);
  for (wchar_t c : wide) {
    const auto unit = static_cast<uint16_t>(c);
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
  }
  return out;
}

std::wstring WideFromUtf16Bytes(std::string_view bytes, bool bigEndian) {
  std::wstring out;
  out.reserve(bytes.size() / 2 + 1);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    out += static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  if (bytes.size() % 2 != 0) out += kQuestionMark;  // a unit cut off at the end
  return out;
}

// `wide` in code page `id`. Characters the code page lacks become its own
// default character ("?" in all but a few), never a look-alike: "ā" is
// not written as "a".
std::string NarrowFromWide(std::wstring_view wide, uint16_t id) {
  if (wide.empty()) return std::string();
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int size = ::WideCharToMultiByte(id, flags, wide.data(), static_cast<int>(wide.size()), nullptr,
                                   0, nullptr, nullptr);
  if (size == 0 && ::GetLastError() == ERROR_INVALID_FLAGS) {
    // Stateful code pages (ISO-2022, UTF-7) and GB18030 take no flags.
    flags = 0;
    size = ::WideCharToMultiByte(id, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                 nullptr, nullptr);
  }
  if (size <= 0) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  size = ::WideCharToMultiByte(id, flags, wide.data(), static_cast<int>(wide.size()), out.data(),
                               size, nullptr, nullptr);
  out.resize(size > 0 ? static_cast<size_t>(size) : 0);
  return out;
}

// `bytes` of code page `id` as UTF-16, or false when some do not decode.
bool WideFromNarrow(std::string_view bytes, uint16_t id, DWORD flags, std::wstring& wide) {
  wide.clear();
  if (bytes.empty()) return true;
  const int size =
      ::MultiByteToWideChar(id, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (size <= 0) return false;
  wide.resize(static_cast<size_t>(size));
  return ::MultiByteToWideChar(id, flags, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                               size) == size;
}

// `bytes` of code page `id` as UTF-16, with "?" for each character that does
// not decode: a byte, or a lead byte and its partner in a double-byte code
// page. Code pages of longer or stateful sequences get the system's own
// replacement instead.
std::wstring WideFromCodePage(std::string_view bytes, uint16_t id) {
  std::wstring wide;
  if (WideFromNarrow(bytes, id, MB_ERR_INVALID_CHARS, wide)) return wide;
  CPINFO info{};
  if (::GetLastError() != ERROR_NO_UNICODE_TRANSLATION || !::GetCPInfo(id, &info) ||
      info.MaxCharSize > 2) {
    WideFromNarrow(bytes, id, 0, wide);
    return wide;
  }
  std::wstring out;
  out.reserve(bytes.size());
  std::wstring piece;
  size_t i = 0;
  while (i < bytes.size()) {
    size_t n = 1;
    if (info.MaxCharSize == 2 && ::IsDBCSLeadByteEx(id, static_cast<BYTE>(bytes[i])) &&
        i + 1 < bytes.size())
      n = 2;
    if (WideFromNarrow(bytes.substr(i, n), id, MB_ERR_INVALID_CHARS, piece))
      out += piece;
    else
      out += kQuestionMark;
    i += n;
  }
  return out;
}

}  // namespace

bool CodePageAvailable(uint16_t id) {
  if (id == kUtf8CodePage || IsUtf16(id)) return true;
  // 0 to 3 and 42 stand for other code pages (the ANSI, OEM, Macintosh and
  // thread code pages, the symbol font): no table of their own.
  if (id <= 3 || id == 42) return false;
  return ::IsValidCodePage(id) != 0;
}

std::string Utf8ToCodePage(std::string_view utf8, uint16_t id) {
  if (id == kUtf8CodePage || !CodePageAvailable(id)) return std::string(utf8);
  const std::wstring wide = StrictWideFromUtf8(utf8);
  if (IsUtf16(id)) return Utf16Bytes(wide, id == kUtf16BeCodePage);
  return NarrowFromWide(wide, id);
}

std::string CodePageToUtf8(std::string_view bytes, uint16_t id) {
  if (id == kUtf8CodePage || !CodePageAvailable(id)) return std::string(bytes);
  const std::wstring wide =
      IsUtf16(id) ? WideFromUtf16Bytes(bytes, id == kUtf16BeCodePage) : WideFromCodePage(bytes, id);
  return Utf8FromWide(PairedOnly(wide));
}

}  // namespace quorvid::platform
