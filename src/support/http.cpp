#include "support/http.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/sockets.h"
#include "support/base64.h"
#include "support/http_error.h"
#include "support/tls.h"

namespace quorvid {

namespace {

constexpr const char* kLineEnd = "\r\n";

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsRedirect(int32_t status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// One request's connection: a socket, with a TLS session on it for https.
class Connection : public ByteSource {
 public:
  Connection(const ParsedUrl& url, bool secure, const HttpGetOptions& options)
      : stallMs_(options.stallTimeoutMs) {
    if (!url.portValid) throw HttpError("Invalid port in URL: \"" + url.host + "\"");
    uint16_t port = static_cast<uint16_t>(url.port != 0 ? url.port : (secure ? 443 : 80));
    peer_ = url.host + ":" + std::to_string(port);
    platform::ConnectResult connect =
        platform::ConnectTcp(ConnectHost(url), port, options.connectTimeoutMs);
    switch (connect.status) {
      case platform::ConnectStatus::Connected:
        break;
      case platform::ConnectStatus::ResolveFailed:
        throw HttpError("Host name resolution for \"" + url.host + "\" failed.");
      case platform::ConnectStatus::CreateFailed:
        throw HttpError("Creation of socket failed: " + connect.errorText);
      case platform::ConnectStatus::TimedOut:
        throw HttpError("Connection to " + peer_ + " timed out.");
      case platform::ConnectStatus::ConnectFailed:
        throw HttpError("Connect to " + peer_ + " failed: " + connect.errorText);
    }
    socket_ = connect.socket;
    if (secure) tls_ = TlsSession::Connect(socket_, ConnectHost(url), peer_, stallMs_);
  }

  ~Connection() override {
    tls_.reset();
    platform::CloseSocket(socket_);
  }

  void Send(const std::string& data) {
    if (tls_) {
      tls_->Write(data.data(), data.size());
      return;
    }
    platform::IoResult result = platform::SendAll(socket_, data.data(), data.size(), stallMs_);
    if (result.status == platform::IoStatus::TimedOut)
      throw HttpError("Timed out reading from " + peer_);
    if (result.status != platform::IoStatus::Done)
      throw HttpError("Error writing data to socket");
  }

  size_t Read(char* buffer, size_t size) override {
    if (tls_) return tls_->Read(buffer, size);
    platform::IoResult result = platform::Receive(socket_, buffer, size, stallMs_);
    switch (result.status) {
      case platform::IoStatus::Done:
        return result.bytes;
      case platform::IoStatus::Closed:
        return 0;
      case platform::IoStatus::TimedOut:
        throw HttpError("Timed out reading from " + peer_);
      case platform::IoStatus::Failed:
        break;
    }
    throw HttpError("Error reading data from socket");
  }

 private:
  platform::Socket socket_;
  std::unique_ptr<TlsSession> tls_;
  std::string peer_;
  int32_t stallMs_;
};

}  // namespace

std::string BuildGetRequest(const ParsedUrl& url, const std::vector<HttpHeader>& headers,
                            const std::vector<std::string>& cookies) {
  std::string request = "GET " + RequestTarget(url) + " HTTP/1.1" + kLineEnd;
  if (!url.user.empty())
    request += "Authorization: Basic " + EncodeText(url.user + ":" + url.password) + kLineEnd;
  request += "Host: " + url.host;
  if (url.port != 0) request += ":" + std::to_string(url.port);
  request += kLineEnd;
  for (const HttpHeader& header : headers) request += header.name + ": " + header.value + kLineEnd;
  request += std::string("Connection: close") + kLineEnd;
  if (!cookies.empty()) {
    request += "Cookie: ";
    for (size_t i = 0; i < cookies.size(); ++i) request += (i > 0 ? "; " : "") + cookies[i];
    request += kLineEnd;
  }
  request += kLineEnd;
  return request;
}

std::vector<std::string> CookiesFrom(const ResponseHead& head) {
  std::vector<std::string> cookies;
  for (const HttpHeader& header : head.headers) {
    if (Lower(header.name) != "set-cookie") continue;
    // Only the name=value pair goes back; Path, Expires and the like are
    // instructions to the client, not cookies.
    std::string pair = header.value.substr(0, header.value.find(';'));
    while (!pair.empty() && pair.back() == ' ') pair.pop_back();
    if (!pair.empty()) cookies.push_back(pair);
  }
  return cookies;
}

std::string HttpGet(const std::string& url, const HttpGetOptions& options) {
  std::string current = url;
  int32_t redirects = 0;
  std::vector<std::string> cookies;
  std::string cookieHost;
  for (;;) {
    ParsedUrl parsed = ParseUrl(current);
    std::string scheme = Lower(parsed.scheme);
    if (scheme != "http" && scheme != "https")
      throw HttpError("Invalid protocol : \"" + parsed.scheme + "\"");

    Connection connection(parsed, scheme == "https", options);
    // Cookies go back only to the host that set them.
    bool sameHost = Lower(parsed.host) == Lower(cookieHost);
    connection.Send(BuildGetRequest(parsed, options.headers,
                                    sameHost ? cookies : std::vector<std::string>{}));
    ResponseReader reader(connection);
    ResponseHead head = ReadResponseHead(reader);

    if (head.status == 200) return ReadResponseBody(reader, head, options.maxBodyBytes);
    // A connection closed before any answer is no empty list: the fetch failed.
    if (head.status == 0) throw HttpError("Connection closed before a response arrived");
    if (!IsRedirect(head.status))
      throw HttpError("Unexpected response status code: " + std::to_string(head.status));

    if (++redirects > kMaxRedirects)
      throw HttpError("Maximum allowed redirects reached : " + std::to_string(redirects));
    cookies = CookiesFrom(head);
    cookieHost = parsed.host;
    current = ResolveUrlReference(current, FindHeader(head, "location").value_or(""));
  }
}

}  // namespace quorvid
