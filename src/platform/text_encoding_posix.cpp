#include "platform/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <utility>

namespace quorvid::platform {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

std::string IconvName(uint16_t id) {
  if (id == kUtf8CodePage) return "UTF-8";
  if (id == kUtf16LeCodePage) return "UTF-16LE";
  if (id == kUtf16BeCodePage) return "UTF-16BE";
  if (id == 20127) return "ASCII";
  if (id >= 28591 && id <= 28605) return "ISO-8859-" + std::to_string(id - 28590);
  return "CP" + std::to_string(id);
}

// Converters are opened once per code page and direction and kept for the
// run; they are closed at exit, so the leak checker finds nothing left open.
struct ConverterCache : std::map<std::pair<uint16_t, bool>, iconv_t> {
  ~ConverterCache() {
    for (auto& entry : *this)
      if (entry.second != kNoConverter) iconv_close(entry.second);
  }
};

iconv_t Converter(uint16_t id, bool fromUtf8) {
  static ConverterCache cache;
  auto key = std::make_pair(id, fromUtf8);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  std::string name = IconvName(id);
  iconv_t cd = fromUtf8 ? iconv_open(name.c_str(), "UTF-8") : iconv_open("UTF-8", name.c_str());
  cache.emplace(key, cd);
  return cd;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Bytes making up the (possibly broken) UTF-8 character at the front of `p`.
size_t Utf8Length(const char* p, size_t left) {
  unsigned char lead = static_cast<unsigned char>(p[0]);
  size_t want = lead < 0x80 ? 1 : lead < 0xC2 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 1;
  size_t n = 1;
  while (n < want && n < left && IsContinuation(static_cast<unsigned char>(p[n]))) ++n;
  return n;
}

// Runs `cd` over `in`; whatever cannot be converted is skipped one source
// character at a time and replaced by `replacement`.
std::string Run(iconv_t cd, std::string_view in, std::string_view replacement, bool fromUtf8,
                size_t sourceUnit) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out(in.size() * 2 + 16, '\0');
  size_t used = 0;
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  auto room = [&](size_t need) {
    if (out.size() - used < need) out.resize(out.size() * 2 + need);
  };
  while (inLeft > 0) {
    char* outPtr = out.data() + used;
    size_t outLeft = out.size() - used;
    size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    int error = errno;
    used = out.size() - outLeft;
    if (result != static_cast<size_t>(-1)) break;
    if (error == E2BIG) {
      room(in.size() + 16);
      continue;
    }
    // EILSEQ (no such character, or a broken sequence) or EINVAL (cut short).
    size_t skip = fromUtf8 ? Utf8Length(inPtr, inLeft) : std::min(sourceUnit, inLeft);
    inPtr += skip;
    inLeft -= skip;
    room(replacement.size());
    out.replace(used, replacement.size(), replacement);
    used += replacement.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  room(16);
  char* outPtr = out.data() + used;
  size_t outLeft = out.size() - used;
  iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  used = out.size() - outLeft;
  out.resize(used);
  return out;
}

}  // namespace

bool CodePageAvailable(uint16_t id) {
  if (id == kUtf8CodePage) return true;
  return Converter(id, true) != kNoConverter && Converter(id, false) != kNoConverter;
}

std::string Utf8ToCodePage(std::string_view utf8, uint16_t id) {
  if (id == kUtf8CodePage || !CodePageAvailable(id)) return std::string(utf8);
  static std::map<uint16_t, std::string> questionMarks;
  auto it = questionMarks.find(id);
  if (it == questionMarks.end())
    it = questionMarks.emplace(id, Run(Converter(id, true), "?", "", true, 1)).first;
  return Run(Converter(id, true), utf8, it->second, true, 1);
}

std::string CodePageToUtf8(std::string_view bytes, uint16_t id) {
  if (id == kUtf8CodePage || !CodePageAvailable(id)) return std::string(bytes);
  size_t unit = (id == kUtf16LeCodePage || id == kUtf16BeCodePage) ? 2 : 1;
  return Run(Converter(id, false), bytes, "?", false, unit);
}

}  // namespace quorvid::platform
