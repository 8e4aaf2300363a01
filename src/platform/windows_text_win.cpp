#include "platform/windows_text.h"

#include <windows.h>

namespace quorvid::platform {

namespace {

// Names this long or longer take the "\\?\" form; shorter ones still leave
// room for the "\*" that a folder search appends.
constexpr size_t kLongName = MAX_PATH - 20;

constexpr wchar_t kReplacement = 0xFFFD;

void AppendUtf16(std::wstring& out, uint32_t code) {
  if (code < 0x10000) {
    out += static_cast<wchar_t>(code);
  } else {
    code -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (code >> 10));
    out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
  }
}

// Decodes UTF-8 `text`; each broken sequence becomes one `replacement`. An
// encoded surrogate is kept as that surrogate unless `surrogatesBroken`.
std::wstring DecodeUtf8(std::string_view text, wchar_t replacement, bool surrogatesBroken) {
  std::wstring out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out += static_cast<wchar_t>(lead);
      ++i;
      continue;
    }
    const size_t want = lead < 0xC2 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 1;
    uint32_t code = lead & (0x7F >> want);
    size_t n = 1;
    while (n < want && i + n < text.size() &&
           (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) {
      code = (code << 6) | (static_cast<unsigned char>(text[i + n]) & 0x3F);
      ++n;
    }
    i += n;
    const uint32_t least = want == 2 ? 0x80 : want == 3 ? 0x800 : 0x10000;
    const bool surrogate = code >= 0xD800 && code < 0xE000;
    if (want == 1 || n < want || code < least || code > 0x10FFFF ||
        (surrogate && surrogatesBroken))
      out += replacement;  // one for the whole broken sequence
    else
      AppendUtf16(out, code);
  }
  return out;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text) {
  return DecodeUtf8(text, kReplacement, false);
}

std::wstring StrictWideFromUtf8(std::string_view text) { return DecodeUtf8(text, L'?', true); }

std::string Utf8FromWide(std::wstring_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t code = static_cast<uint16_t>(text[i]);
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
      const uint32_t low = static_cast<uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

std::wstring WidePath(std::string_view path) {
  std::wstring wide = WideFromUtf8(path);
  if (wide.size() < kLongName || wide.starts_with(L"\\\\?\\")) return wide;
  DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return wide;
  std::wstring full(size, L'\0');
  size = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (size == 0 || size >= full.size()) return wide;
  full.resize(size);
  if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) return full;
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::string SystemErrorText(uint32_t code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return "Error " + std::to_string(code);
  std::wstring_view message(text, length);
  while (!message.empty() &&
         (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
    message.remove_suffix(1);
  std::string result = Utf8FromWide(message);
  ::LocalFree(text);
  return result;
}

}  // namespace quorvid::platform
