#include "output/list_text.h"

#include "platform/text_encoding.h"

namespace quorvid {

std::vector<std::string> SplitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::vector<std::string> DecodeListText(std::string_view bytes, uint16_t codePage) {
  auto startsWith = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (startsWith("\xEF\xBB\xBF")) return SplitTextLines(bytes.substr(3));
  if (startsWith("\xFF\xFE"))
    return SplitTextLines(platform::CodePageToUtf8(bytes.substr(2), platform::kUtf16LeCodePage));
  if (startsWith("\xFE\xFF"))
    return SplitTextLines(platform::CodePageToUtf8(bytes.substr(2), platform::kUtf16BeCodePage));
  if (codePage == platform::kUtf8CodePage) return SplitTextLines(bytes);
  return SplitTextLines(platform::CodePageToUtf8(bytes, codePage));
}

}  // namespace quorvid
