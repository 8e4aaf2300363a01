// Reading an HTTP/1.1 response from any byte source. Nothing here touches the
// network, so the parser can be driven from a buffer (tests, fuzzing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvid {

/// Where response bytes come from: a socket, a TLS session, a test buffer.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// Reads 1 to `size` bytes into `buffer` as soon as any are available;
  /// returns 0 at the end of the data. Throws HttpError when reading fails.
  virtual size_t Read(char* buffer, size_t size) = 0;
};

/// Buffers a ByteSource. It asks the source only for bytes it needs: a line
/// end not yet seen, or body bytes still owed, never more than 4096 at once.
class ResponseReader {
 public:
  explicit ResponseReader(ByteSource& source) : source_(source) {}

  /// Next line without its line end (LF, or CR LF). At the end of the data the
  /// unfinished rest counts as a line; false when nothing at all was left.
  /// Throws HttpError "Response line too long" past `maxLength` bytes.
  bool ReadLine(std::string& line, size_t maxLength);

  /// Appends up to `count` bytes to `out`; fewer only at the end of the data.
  size_t ReadBytes(std::string& out, size_t count);

 private:
  bool Fill(size_t wanted);  // false at end of data

  ByteSource& source_;
  std::string buffer_;
  size_t start_ = 0;  // first unread byte of buffer_
};

struct HttpHeader {
  std::string name;
  std::string value;
};

struct ResponseHead {
  int32_t status = 0;  // 0 when the data ended before a status line
  std::vector<HttpHeader> headers;
};

inline constexpr int64_t kMaxChunkSize = 0xFFFFFFF;
inline constexpr uint64_t kDefaultMaxBodyBytes = 256ull * 1024 * 1024;

/// Reads the status line and the header lines up to the first empty line.
/// Throws HttpError with "Invalid protocol version in response: "%s"" or
/// "Invalid response status code: %s" for a bad status line, and with
/// "Response head too large" when the head is absurdly long.
ResponseHead ReadResponseHead(ResponseReader& reader);

/// The value of the first header called `name` (any case), trimmed.
std::optional<std::string> FindHeader(const ResponseHead& head, std::string_view name);

/// Reads the body the head announces: chunked, Content-Length, or up to the
/// end of the data. Throws HttpError for chunk framing errors ("Chunk too big:
/// Got %d, maximum allowed size: %d", "Chunk line end missing"), with
/// "Connection closed before the whole body arrived" when the data ends
/// before the announced length or the last chunk, and with "Response body
/// too large" when it would exceed `maxBodyBytes`; the memory held stays
/// within about `maxBodyBytes`.
std::string ReadResponseBody(ResponseReader& reader, const ResponseHead& head,
                             uint64_t maxBodyBytes = kDefaultMaxBodyBytes);

}  // namespace quorvid
