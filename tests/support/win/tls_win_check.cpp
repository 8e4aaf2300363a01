// The Windows TLS session (SChannel underneath) against the local servers of
// tls_servers.py, whose ports come as arguments: "name=port" for each.
// Each group prints "ok" or the checks that failed; the exit code is the
// number of failures.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/sockets.h"
#include "support/http.h"
#include "support/http_error.h"
#include "support/tls.h"
#include "win_checks.h"

using namespace quorvid;
using namespace quorvid::test;

namespace {

std::map<std::string, std::string> g_ports;

std::string Port(const std::string& server) { return g_ports[server]; }

std::string Url(const char* scheme, const char* host, const std::string& server, const char* path) {
  return std::string(scheme) + "://" + host + ":" + Port(server) + path;
}

// What the fetch threw, or "" when it succeeded; `body` receives the body.
std::string Fetch(const std::string& url, std::string& body, int32_t stallMs = 10000) {
  HttpGetOptions options;
  options.stallTimeoutMs = stallMs;
  try {
    body = HttpGet(url, options);
    return "";
  } catch (const HttpError& error) {
    return error.what();
  }
}

// The bytes of big.bin, as run_tls.sh writes them.
std::string BigBody() {
  std::string bytes(1000003, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

struct Timed {
  std::string error;
  double seconds = 0;
};

// Connects to `server` and runs the TLS handshake for `host`, then `use`.
Timed TlsConnect(const std::string& server, const char* host, int32_t stallMs,
                 void (*use)(TlsSession&) = nullptr) {
  const auto start = std::chrono::steady_clock::now();
  Timed result;
  platform::ConnectResult connect =
      platform::ConnectTcp("127.0.0.1", static_cast<uint16_t>(std::stoi(Port(server))), 3000);
  if (connect.status != platform::ConnectStatus::Connected) {
    result.error = "connect failed";
    return result;
  }
  try {
    const std::string peer = std::string(host) + ":" + Port(server);
    std::unique_ptr<TlsSession> session = TlsSession::Connect(connect.socket, host, peer, stallMs);
    if (use != nullptr) use(*session);
  } catch (const HttpError& error) {
    result.error = error.what();
  }
  platform::CloseSocket(connect.socket);
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}

void Fetches() {
  std::string body;
  CheckEqual(Fetch(Url("https", "localhost", "trusted", "/big.bin"), body), "");
  Check(body == BigBody(), "big.bin over https: " + std::to_string(body.size()) + " bytes, " +
                               (body == BigBody() ? "same" : "different") + " content");
}

void RefusedCertificates() {
  std::string body;
  const std::string stranger = "127.0.0.1:" + Port("stranger");
  CheckEqual(Fetch(Url("https", "127.0.0.1", "stranger", "/list.txt"), body),
             "TLS handshake with " + stranger +
                 " failed: certificate verify failed (the issuer is not trusted)");
  CheckEqual(Fetch(Url("https", "localhost", "othername", "/list.txt"), body),
             "TLS handshake with localhost:" + Port("othername") +
                 " failed: certificate verify failed (the certificate is not for localhost)");
  CheckEqual(Fetch(Url("https", "127.0.0.1", "othername", "/list.txt"), body),
             "TLS handshake with 127.0.0.1:" + Port("othername") +
                 " failed: certificate verify failed (the certificate is not for 127.0.0.1)");
  // The right certificate asked for by a name it does not carry.
  CheckEqual(TlsConnect("trusted", "127.0.0.2", 5000).error,
             "TLS handshake with 127.0.0.2:" + Port("trusted") +
                 " failed: certificate verify failed (the certificate is not for 127.0.0.2)");
}

void BrokenServers() {
  const std::string hangup = TlsConnect("hangup", "localhost", 5000).error;
  CheckEqual(hangup, "TLS handshake with localhost:" + Port("hangup") +
                         " failed: connection closed unexpectedly");
  // A plain HTTP server answers the client hello with a 400 page.
  const std::string prefix = "TLS handshake with localhost:" + Port("plain") + " failed: ";
  const std::string plain = TlsConnect("plain", "localhost", 5000).error;
  Check(plain.rfind(prefix, 0) == 0 && plain.size() > prefix.size(), "not TLS: " + plain);
}

void Stalls() {
  // Each step may wait the stall time-out once; a stalled one ends the session.
  Timed silent = TlsConnect("silent", "localhost", 1000);
  CheckEqual(silent.error, "Timed out reading from localhost:" + Port("silent"));
  Check(silent.seconds >= 0.9 && silent.seconds < 4,
        "handshake stall took " + std::to_string(silent.seconds) + " s");

  std::string body;
  const auto start = std::chrono::steady_clock::now();
  CheckEqual(Fetch(Url("https", "127.0.0.1", "mute", "/list.txt"), body, 1000),
             "Timed out reading from 127.0.0.1:" + Port("mute"));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  Check(seconds >= 0.9 && seconds < 4, "read stall took " + std::to_string(seconds) + " s");
}

// Large writes are cut into records; the reply ends with close_notify.
void EchoSession(TlsSession& session) {
  std::string payload(300001, '\0');
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i % 253);
  const std::string header = std::to_string(payload.size()) + "\n";
  session.Write(header.data(), header.size());
  session.Write(payload.data(), payload.size());
  std::string echoed;
  char buffer[10000];
  size_t n;
  while ((n = session.Read(buffer, sizeof buffer)) > 0) echoed.append(buffer, n);
  Check(echoed == payload, "echo: " + std::to_string(echoed.size()) + " bytes back");
  CheckEqual(std::to_string(session.Read(buffer, sizeof buffer)), "0");
  try {
    session.Write("x", 1);
    Check(false, "a write after close_notify succeeded");
  } catch (const HttpError& error) {
    CheckEqual(error.what(),
               "TLS write with localhost:" + Port("echo") + " failed: the session is closed");
  }
}

void WritesAndCloseNotify() {
  CheckEqual(TlsConnect("echo", "localhost", 5000, EchoSession).error, "");
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* equals = std::strchr(argv[i], '=');
    if (equals != nullptr)
      g_ports[std::string(argv[i], static_cast<size_t>(equals - argv[i]))] = equals + 1;
  }
  for (const char* server :
       {"plain", "trusted", "stranger", "othername", "silent", "mute", "echo", "hangup"}) {
    if (g_ports.count(server) == 0) {
      std::printf("no port for %s\n", server);
      return 1;
    }
  }
  Group("fetches over https", Fetches);
  Group("refused certificates", RefusedCertificates);
  Group("servers that break the handshake", BrokenServers);
  Group("stalls", Stalls);
  Group("writes and close_notify", WritesAndCloseNotify);
  return g_failures;
}
