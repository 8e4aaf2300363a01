#include "support/http_response.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "support/http_error.h"

namespace quorvid {

namespace {

constexpr size_t kPieceSize = 4096;
constexpr size_t kMaxLineLength = 64 * 1024;
constexpr size_t kMaxHeadBytes = 1024 * 1024;
// Each header costs a record whatever its length, so a head of a million
// one-character lines must not cost a million records.
constexpr size_t kMaxHeaderCount = 10000;
constexpr const char* kBodyTooLarge = "Response body too large";
constexpr const char* kBodyCutShort = "Connection closed before the whole body arrived";

// Reads up to `count` bytes onto the end of `body`, which never holds more
// than `maxBodyBytes`: its memory grows in steps that stay within the limit.
size_t ReadBodyBytes(ResponseReader& reader, std::string& body, size_t count,
                     uint64_t maxBodyBytes) {
  const uint64_t needed = uint64_t{body.size()} + count;
  if (needed > body.capacity()) {
    // Doubled as usual, but never past the limit (or past what is needed);
    // a fresh string takes exactly the room asked for, where reserve on a
    // full one may double it.
    const uint64_t room = std::max(std::min<uint64_t>(2 * uint64_t{body.capacity()}, maxBodyBytes), needed);
    std::string grown;
    grown.reserve(static_cast<size_t>(room));
    grown.append(body);
    body.swap(grown);
  }
  return reader.ReadBytes(body, count);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The n-th word (0-based) of a line whose words are separated by spaces.
std::string_view Word(std::string_view line, int n) {
  for (;;) {
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    size_t end = line.find(' ');
    if (end == std::string_view::npos) end = line.size();
    if (n-- == 0) return line.substr(0, end);
    line.remove_prefix(end);
    if (line.empty()) return {};
  }
}

int32_t ParseStatusLine(std::string_view line) {
  std::string version(Word(line, 0));
  std::string upper = version;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper.rfind("HTTP/", 0) != 0)
    throw HttpError("Invalid protocol version in response: \"" + version + "\"");
  std::string_view codeText = Word(line, 1);
  int32_t code = 0;
  auto [end, error] = std::from_chars(codeText.data(), codeText.data() + codeText.size(), code);
  if (codeText.empty() || error != std::errc() || end != codeText.data() + codeText.size() ||
      code < 0)
    throw HttpError("Invalid response status code: " + std::string(codeText));
  return code;
}

void ReadChunkedBody(ResponseReader& reader, std::string& body, uint64_t maxBodyBytes) {
  std::string line;
  for (;;) {
    // The body ends with its last, empty chunk, never with the data.
    if (!reader.ReadLine(line, kMaxLineLength)) throw HttpError(kBodyCutShort);
    // Hex digits up to the first other character; whatever follows on the line
    // (chunk extensions) is skipped.
    int64_t size = 0;
    for (char c : line) {
      int digit;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      else
        break;
      size = size * 16 + digit;
      if (size > kMaxChunkSize)
        throw HttpError("Chunk too big: Got " + std::to_string(size) +
                        ", maximum allowed size: " + std::to_string(kMaxChunkSize));
    }
    if (size == 0) return;  // trailer lines are not read
    if (body.size() + static_cast<uint64_t>(size) > maxBodyBytes) throw HttpError(kBodyTooLarge);
    size_t remaining = static_cast<size_t>(size);
    while (remaining > 0) {
      size_t got = ReadBodyBytes(reader, body, std::min(remaining, kPieceSize), maxBodyBytes);
      if (got == 0) throw HttpError(kBodyCutShort);  // the data ended inside a chunk
      remaining -= got;
    }
    std::string lineEnd;
    reader.ReadBytes(lineEnd, 2);
    if (lineEnd.empty()) throw HttpError(kBodyCutShort);
    if (lineEnd != "\r\n") throw HttpError("Chunk line end missing");
  }
}

std::optional<int64_t> ContentLength(const ResponseHead& head) {
  std::optional<std::string> text = FindHeader(head, "content-length");
  if (!text) return std::nullopt;
  int64_t length = 0;
  auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), length);
  if (text->empty() || error != std::errc() || end != text->data() + text->size() || length < 0)
    return std::nullopt;  // unreadable: read until the data ends
  return length;
}

}  // namespace

bool ResponseReader::Fill(size_t wanted) {
  buffer_.erase(0, start_);  // consumed bytes are never needed again
  start_ = 0;
  size_t piece = std::min(std::max<size_t>(wanted, 1), kPieceSize);
  size_t old = buffer_.size();
  buffer_.resize(old + piece);
  size_t got = source_.Read(buffer_.data() + old, piece);
  buffer_.resize(old + std::min(got, piece));
  return got > 0;
}

bool ResponseReader::ReadLine(std::string& line, size_t maxLength) {
  size_t scanned = 0;  // unread bytes already searched for a line end
  for (;;) {
    size_t lf = buffer_.find('\n', start_ + scanned);
    if (lf != std::string::npos) {
      size_t end = (lf > start_ && buffer_[lf - 1] == '\r') ? lf - 1 : lf;
      line.assign(buffer_, start_, end - start_);
      start_ = lf + 1;
      return true;
    }
    scanned = buffer_.size() - start_;
    if (scanned > maxLength) throw HttpError("Response line too long");
    if (!Fill(kPieceSize)) {
      if (buffer_.size() == start_) return false;
      line.assign(buffer_, start_);
      start_ = buffer_.size();
      return true;
    }
  }
}

size_t ResponseReader::ReadBytes(std::string& out, size_t count) {
  size_t copied = 0;
  while (copied < count) {
    if (start_ == buffer_.size() && !Fill(count - copied)) break;
    size_t take = std::min(count - copied, buffer_.size() - start_);
    out.append(buffer_, start_, take);
    start_ += take;
    copied += take;
  }
  return copied;
}

ResponseHead ReadResponseHead(ResponseReader& reader) {
  ResponseHead head;
  std::string line;
  if (!reader.ReadLine(line, kMaxLineLength)) return head;  // no status line: status 0
  head.status = ParseStatusLine(line);
  size_t headBytes = line.size();
  while (reader.ReadLine(line, kMaxLineLength) && !line.empty()) {
    headBytes += line.size();
    if (headBytes > kMaxHeadBytes || head.headers.size() >= kMaxHeaderCount)
      throw HttpError("Response head too large");
    size_t colon = line.find(':');
    std::string_view text = line;
    HttpHeader header;
    header.name = std::string(Trim(text.substr(0, colon)));
    if (colon != std::string::npos) header.value = std::string(Trim(text.substr(colon + 1)));
    head.headers.push_back(std::move(header));
  }
  return head;
}

std::optional<std::string> FindHeader(const ResponseHead& head, std::string_view name) {
  for (const HttpHeader& header : head.headers)
    if (EqualsNoCase(header.name, name)) return header.value;
  return std::nullopt;
}

std::string ReadResponseBody(ResponseReader& reader, const ResponseHead& head,
                             uint64_t maxBodyBytes) {
  std::string body;
  std::optional<std::string> encoding = FindHeader(head, "transfer-encoding");
  if (encoding && EqualsNoCase(*encoding, "chunked")) {
    ReadChunkedBody(reader, body, maxBodyBytes);
    return body;
  }
  if (std::optional<int64_t> length = ContentLength(head)) {
    if (static_cast<uint64_t>(*length) > maxBodyBytes) throw HttpError(kBodyTooLarge);
    size_t remaining = static_cast<size_t>(*length);
    while (remaining > 0) {
      size_t got = ReadBodyBytes(reader, body, std::min(remaining, kPieceSize), maxBodyBytes);
      if (got == 0) throw HttpError(kBodyCutShort);
      remaining -= got;
    }
    return body;
  }
  bool noBody = (head.status >= 100 && head.status < 200) || head.status == 204 ||
                head.status == 304;
  if (noBody) return body;
  // Until the data ends: a piece that would pass the limit is refused
  // before it is held.
  for (;;) {
    if (body.size() >= maxBodyBytes) {
      std::string probe;
      if (reader.ReadBytes(probe, 1) > 0) throw HttpError(kBodyTooLarge);
      return body;
    }
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(kPieceSize, maxBodyBytes - body.size()));
    if (ReadBodyBytes(reader, body, piece, maxBodyBytes) == 0) return body;
  }
}

}  // namespace quorvid
