// The HTTP response reader fed from a buffer in pieces of random size: status
// line, headers, Content-Length and chunked bodies, and the resolution of a
// redirect's Location against the URL asked for.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "support/http.h"
#include "support/http_error.h"
#include "support/http_response.h"
#include "support/http_url.h"

using namespace quorvid;

namespace {

// Hands out the buffer in pieces of 1 to 256 bytes, as a network would.
class BufferSource : public ByteSource {
 public:
  BufferSource(std::string_view bytes, uint8_t seed) : bytes_(bytes), seed_(seed) {}
  size_t Read(char* buffer, size_t size) override {
    seed_ = seed_ * 33 + 7;
    size_t n = std::min({size, bytes_.size(), static_cast<size_t>(1 + seed_ % 256)});
    std::memcpy(buffer, bytes_.data(), n);
    bytes_.remove_prefix(n);
    return n;
  }

 private:
  std::string_view bytes_;
  uint32_t seed_;
};

constexpr uint64_t kBodyLimit = 1024 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 256 * 1024) return 0;
  fuzz::FuzzInput input(data, size);
  uint8_t seed = input.Number<uint8_t>();
  std::string base(input.Text());
  std::string_view response = input.Rest();

  BufferSource source(response, seed);
  ResponseReader reader(source);
  try {
    ResponseHead head = ReadResponseHead(reader);
    CookiesFrom(head);
    std::string location = FindHeader(head, "location").value_or("");
    std::string next = ResolveUrlReference(base.empty() ? "http://127.0.0.1/a/b?c" : base, location);
    ParsedUrl parsed = ParseUrl(next);
    RequestTarget(parsed);
    ConnectHost(parsed);
    BuildGetRequest(parsed, head.headers, {});
    std::string body = ReadResponseBody(reader, head, kBodyLimit);
    if (body.size() > kBodyLimit) std::abort();
    if (body.size() > response.size()) std::abort();
  } catch (const HttpError&) {
    // Every framing fault is an HttpError with a one-line message.
  }
  return 0;
}
