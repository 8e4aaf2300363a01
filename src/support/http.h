// The web fetch: one HTTP/1.1 GET over TCP or TLS, following redirects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/http_response.h"
#include "support/http_url.h"

namespace quorvid {

inline constexpr int32_t kMaxRedirects = 16;

struct HttpGetOptions {
  std::vector<HttpHeader> headers;  // the caller's headers, sent in this order
  int32_t connectTimeoutMs = 3000;
  /// How long a read, a write or a handshake step may make no progress.
  /// Tests shorten it; the program keeps the default.
  int32_t stallTimeoutMs = 30000;
  uint64_t maxBodyBytes = kDefaultMaxBodyBytes;
};

/// Fetches `url` (http or https, scheme in any case) and returns the body of
/// the final 200 response as raw bytes. A server that closes without
/// answering fails the fetch ("Connection closed before a response
/// arrived"), as does a body cut short. Redirects (301, 302, 303, 307, 308) are followed up to
/// 16 times, each request on a new connection. Throws HttpError with a
/// one-line message on every failure; no partial body is ever returned.
std::string HttpGet(const std::string& url, const HttpGetOptions& options = {});

/// The request text of one GET: request line, Authorization (when the URL has
/// a user name), Host (with the port only when the URL gives one), the
/// caller's headers, "Connection: close", the cookies, an empty line.
std::string BuildGetRequest(const ParsedUrl& url, const std::vector<HttpHeader>& headers,
                            const std::vector<std::string>& cookies);

/// The "name=value" pairs of the Set-Cookie headers of `head`, in order.
std::vector<std::string> CookiesFrom(const ResponseHead& head);

}  // namespace quorvid
