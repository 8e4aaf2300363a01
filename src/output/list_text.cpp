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

void ListLineSplitter::Feed(std::string_view bytes) {
  // Bytes already handed out are dropped once they are the larger part, so
  // the buffer stays near the longest line whatever the file's length.
  if (start_ > 0 && start_ >= bytes_.size() / 2) {
    bytes_.erase(0, start_);
    scan_ -= start_;
    start_ = 0;
  }
  bytes_.append(bytes);
}

bool ListLineSplitter::PickEncoding() {
  std::string_view head(bytes_);
  if (head.size() < 3 && !finished_) return false;
  auto startsWith = [&](std::string_view mark) { return head.substr(0, mark.size()) == mark; };
  if (startsWith("\xEF\xBB\xBF")) {
    codePage_ = platform::kUtf8CodePage;
    start_ = 3;
  } else if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
    bigEndian_ = head[0] == '\xFE';
    codePage_ = bigEndian_ ? platform::kUtf16BeCodePage : platform::kUtf16LeCodePage;
    unit_ = 2;
    start_ = 2;
  }
  scan_ = start_;
  encodingKnown_ = true;
  return true;
}

bool ListLineSplitter::Next(std::string& line) {
  if (!encodingKnown_ && !PickEncoding()) return false;
  // The code unit at `at` as a character when it is CR or LF, else 0.
  auto lineEndAt = [&](size_t at) -> char {
    char c = bytes_[at];
    if (unit_ == 2) {
      char other = bigEndian_ ? bytes_[at] : bytes_[at + 1];
      c = bigEndian_ ? bytes_[at + 1] : bytes_[at];
      if (other != '\0') return 0;
    }
    return (c == '\r' || c == '\n') ? c : 0;
  };
  size_t end = scan_;
  char found = 0;
  for (; end + unit_ <= bytes_.size(); end += unit_)
    if ((found = lineEndAt(end)) != 0) break;
  size_t next = end + unit_;
  if (found == 0) {
    scan_ = end;
    if (!finished_ || start_ >= bytes_.size()) return false;
    end = next = bytes_.size();  // the last line has no line end
  } else if (found == '\r') {
    // CR LF is one line end: wait for the byte after a CR at the very end.
    if (next + unit_ > bytes_.size() && !finished_) {
      scan_ = end;
      return false;
    }
    if (next + unit_ <= bytes_.size() && lineEndAt(next) == '\n') next += unit_;
  }
  std::string_view raw = std::string_view(bytes_).substr(start_, end - start_);
  line = codePage_ == platform::kUtf8CodePage ? std::string(raw)
                                               : platform::CodePageToUtf8(raw, codePage_);
  start_ = scan_ = next;
  return true;
}

std::vector<std::string> DecodeListText(std::string_view bytes, uint16_t codePage) {
  ListLineSplitter splitter(codePage);
  splitter.Feed(bytes);
  splitter.Finish();
  std::vector<std::string> lines;
  std::string line;
  while (splitter.Next(line)) lines.push_back(std::move(line));
  return lines;
}

}  // namespace quorvid
