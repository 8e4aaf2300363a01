#include "support/http.h"

#include <gtest/gtest.h>

#include <chrono>

#include "servers/test_http_server.h"
#include "support/http_error.h"
#include "test_support.h"

namespace quorvid {
namespace {

using test::Exchange;
using test::OkResponse;
using test::TestHttpServer;

std::string FetchError(const std::string& url, const HttpGetOptions& options = {}) {
  try {
    HttpGet(url, options);
  } catch (const HttpError& error) {
    return error.what();
  }
  return "(no error)";
}

std::string FirstLine(const std::string& request) { return request.substr(0, request.find("\r\n")); }

TEST(HttpGet, SendsTheRequestAndReturnsTheBody) {
  TestHttpServer server([](Exchange& x) { x.Send(OkResponse("body of " + x.target)); });
  HttpGetOptions options;
  options.headers.push_back({"User-Agent", "Mozilla/5.0 (compatible; fpweb)"});
  std::string url = server.Url("/dir/list.txt?x=1#fragment");
  url.replace(0, 4, "HTTP");  // the scheme is read in any case
  EXPECT_EQ(HttpGet(url, options), "body of /dir/list.txt?x=1");
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0],
            "GET /dir/list.txt?x=1 HTTP/1.1\r\n"
            "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n"
            "User-Agent: Mozilla/5.0 (compatible; fpweb)\r\n"
            "Connection: close\r\n\r\n");

  HttpGet(server.Url(""));
  HttpGet(server.Url("/dir"));
  HttpGet(server.Url("/dir/"));
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(FirstLine(requests[1]), "GET / HTTP/1.1");
  EXPECT_EQ(FirstLine(requests[2]), "GET /dir HTTP/1.1");
  EXPECT_EQ(FirstLine(requests[3]), "GET /dir/ HTTP/1.1");
}

TEST(HttpGet, ReadsBodiesUntilCloseAndChunkedBodies) {
  TestHttpServer server([](Exchange& x) {
    if (x.target == "/close") {
      x.Send("HTTP/1.1 200 OK\r\n\r\nfirst part, ");
      x.Send("second part");
    } else {
      x.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
      x.Send("4;ext=1\r\nabcd\r\n3 ; other\r\nefg\r\n0\r\n\r\n");
    }
  });
  EXPECT_EQ(HttpGet(server.Url("/close")), "first part, second part");
  EXPECT_EQ(HttpGet(server.Url("/chunked")), "abcdefg");
}

// A server that announces its body and then keeps the connection open must
// not hold the fetch up: the client stops at the announced end.
TEST(HttpGet, StopsAtTheAnnouncedEndOfTheBody) {
  TestHttpServer server([](Exchange& x) {
    if (x.target == "/length")
      x.Send(OkResponse("exactly this"));
    else
      x.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n");
    x.Stall();
  });
  HttpGetOptions options;
  options.stallTimeoutMs = 5000;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(HttpGet(server.Url("/length"), options), "exactly this");
  EXPECT_EQ(HttpGet(server.Url("/chunked"), options), "ok");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
}

TEST(HttpGet, FollowsSixteenRedirectsAndFailsOnTheSeventeenth) {
  // /hop/N redirects to /hop/N-1; /hop/0 answers.
  TestHttpServer server([](Exchange& x) {
    int n = std::stoi(x.target.substr(5));
    if (n == 0)
      x.Send(OkResponse("arrived"));
    else
      x.Send("HTTP/1.1 " + std::string(n % 2 ? "302 Found" : "301 Moved") +
             "\r\nLocation: /hop/" + std::to_string(n - 1) + "\r\nContent-Length: 0\r\n\r\n");
  });
  EXPECT_EQ(HttpGet(server.Url("/hop/16")), "arrived");
  EXPECT_EQ(server.Requests().size(), 17u);
  EXPECT_EQ(FetchError(server.Url("/hop/17")), "Maximum allowed redirects reached : 17");
  EXPECT_EQ(server.Requests().size(), 17u + 17u);  // /hop/0 was never asked for
}

TEST(HttpGet, ResolvesRelativeLocationsAndPassesCookiesOn) {
  TestHttpServer server([](Exchange& x) {
    if (x.target == "/a/b/page")
      x.Send("HTTP/1.1 303 See Other\r\nLocation: ../other/list.txt?v=2\r\n"
             "Set-Cookie: session=42; Path=/; HttpOnly\r\nset-cookie: theme=dark\r\n\r\n");
    else if (x.target == "/a/other/list.txt?v=2")
      x.Send("HTTP/1.1 307 Temporary\r\nLocation: /final\r\n\r\n");
    else
      x.Send(OkResponse("at " + x.target));
  });
  EXPECT_EQ(HttpGet(server.Url("/a/b/page")), "at /final");
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(FirstLine(requests[1]), "GET /a/other/list.txt?v=2 HTTP/1.1");
  EXPECT_NE(requests[1].find("\r\nCookie: session=42; theme=dark\r\n"), std::string::npos);
  // Only the previous response's cookies are sent.
  EXPECT_EQ(requests[2].find("Cookie:"), std::string::npos);
}

TEST(HttpGet, RedirectWithoutLocationAsksForTheSameUrlUntilTheLimit) {
  TestHttpServer server([](Exchange& x) { x.Send("HTTP/1.1 302 Found\r\n\r\n"); });
  EXPECT_EQ(FetchError(server.Url("/same#frag")), "Maximum allowed redirects reached : 17");
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 17u);
  for (const auto& request : requests) EXPECT_EQ(FirstLine(request), "GET /same HTTP/1.1");
}

TEST(HttpGet, OtherStatusesFailWithoutReadingTheBody) {
  // The 404 body is announced but never sent: reading it would stall.
  TestHttpServer server([](Exchange& x) {
    x.Send(x.target == "/gone" ? "HTTP/1.1 404 Not Found\r\nContent-Length: 100\r\n\r\n"
                               : "HTTP/1.1 401 Unauthorized\r\n\r\n");
    x.Stall();
  });
  HttpGetOptions options;
  options.stallTimeoutMs = 3000;
  EXPECT_EQ(FetchError(server.Url("/gone"), options), "Unexpected response status code: 404");
  EXPECT_EQ(FetchError(server.Url("/auth"), options), "Unexpected response status code: 401");
}

TEST(HttpGet, AServerThatSaysNothingFailsTheFetch) {
  TestHttpServer server([](Exchange&) {});
  EXPECT_EQ(FetchError(server.Url("/")), "Connection closed before a response arrived");
}

TEST(HttpGet, AStallingServerFailsWithinTheBound) {
  TestHttpServer server([](Exchange& x) {
    if (x.target == "/midway") x.Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc");
    x.Stall();
  });
  HttpGetOptions options;
  options.stallTimeoutMs = 300;
  std::string peer = "127.0.0.1:" + std::to_string(server.port());
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(FetchError(server.Url("/silent"), options), "Timed out reading from " + peer);
  EXPECT_EQ(FetchError(server.Url("/midway"), options), "Timed out reading from " + peer);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(HttpGet, ConnectionAndAddressErrors) {
  EXPECT_EQ(FetchError("ftp://127.0.0.1/list"), "Invalid protocol : \"ftp\"");
  EXPECT_EQ(FetchError("127.0.0.1/list"), "Invalid protocol : \"\"");
  EXPECT_EQ(FetchError("http://host.invalid/"), "Host name resolution for \"host.invalid\" failed.");

  int port;
  {
    TestHttpServer closed([](Exchange&) {});
    port = closed.port();
  }
  EXPECT_EQ(FetchError("http://127.0.0.1:" + std::to_string(port) + "/"),
            "Connect to 127.0.0.1:" + std::to_string(port) +
                " failed: " + test::RefusedConnectionText());
}

TEST(HttpGet, AConnectThatGetsNoAnswerTimesOut) {
  // A listener whose queue is full drops further connection requests, so a
  // connect to it is never answered. (So on Linux and under Wine; Windows
  // itself would refuse them.)
  int port = 0;
  const test::SocketHandle listener = test::ListenOnLoopback(0, port);
  std::vector<test::SocketHandle> queued;
  for (int i = 0; i < 3; ++i) queued.push_back(test::StartConnect(port));
  const std::string peer = "127.0.0.1:" + std::to_string(port);
  HttpGetOptions options;
  options.connectTimeoutMs = 300;
  EXPECT_EQ(FetchError("http://" + peer + "/", options), "Connection to " + peer + " timed out.");
  for (test::SocketHandle socket : queued) test::CloseSocketHandle(socket);
  test::CloseSocketHandle(listener);
}

// Needs no certificate: the handshake never gets that far.
TEST(HttpsHandshake, AStallFailsWithinTheBound) {
  // A plain server that never speaks TLS back.
  TestHttpServer silent([](Exchange& x) { x.Stall(); });
  std::string url = silent.Url("/");
  url.replace(0, 4, "https");
  HttpGetOptions options;
  options.stallTimeoutMs = 300;
  EXPECT_EQ(FetchError(url, options),
            "Timed out reading from 127.0.0.1:" + std::to_string(silent.port()));
}

// HTTPS against a CA made for the test, trusted through SSL_CERT_FILE.
class HttpsGet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (test::OnWindows()) return;
    certs_ = new test::TestCertificates;
    dir_ = new test::TempDir;
    certs_->WriteCaFile(*dir_ / "ca.pem");
    test::SetEnv("SSL_CERT_FILE", *dir_ / "ca.pem");
    test::SetEnv("SSL_CERT_DIR", dir_->path());
  }
  static void TearDownTestSuite() {
    if (test::OnWindows()) return;
    test::UnsetEnv("SSL_CERT_FILE");
    test::UnsetEnv("SSL_CERT_DIR");
    delete dir_;
    delete certs_;
  }
  void SetUp() override {
    if (test::OnWindows()) GTEST_SKIP() << test::kTlsServedOnPosixOnly;
  }
  static test::TestCertificates* certs_;
  static test::TempDir* dir_;
};
test::TestCertificates* HttpsGet::certs_ = nullptr;
test::TempDir* HttpsGet::dir_ = nullptr;

TEST_F(HttpsGet, VerifiedServerIsFetchedWithServerNameIndication) {
  TestHttpServer server([](Exchange& x) { x.Send(OkResponse("secret list")); }, &certs_->server);
  EXPECT_EQ(HttpGet(server.Url("/list", "localhost")), "secret list");
  EXPECT_EQ(HttpGet(server.Url("/list", "127.0.0.1")), "secret list");
  auto names = server.ServerNames();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "localhost");
  EXPECT_EQ(names[1], "");  // address literals are not sent as server names
  EXPECT_EQ(FirstLine(server.Requests()[0]), "GET /list HTTP/1.1");
}

TEST_F(HttpsGet, ChunkedAndClosingBodiesWorkOverTls) {
  TestHttpServer server([](Exchange& x) {
    x.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3;e\r\nabc\r\n0\r\n\r\n");
  }, &certs_->server);
  EXPECT_EQ(HttpGet(server.Url("/")), "abc");
  TestHttpServer closing([](Exchange& x) { x.Send("HTTP/1.1 200 OK\r\n\r\nuntil close"); },
                         &certs_->server);
  EXPECT_EQ(HttpGet(closing.Url("/")), "until close");
}

TEST_F(HttpsGet, UntrustedCertificateOrWrongNameFails) {
  TestHttpServer stranger([](Exchange& x) { x.Send(OkResponse("forged")); }, &certs_->stranger);
  std::string error = FetchError(stranger.Url("/"));
  EXPECT_NE(error.find("certificate verify failed"), std::string::npos) << error;
  EXPECT_TRUE(stranger.Requests().empty());

  TestHttpServer misnamed([](Exchange& x) { x.Send(OkResponse("forged")); }, &certs_->otherName);
  error = FetchError(misnamed.Url("/", "localhost"));
  EXPECT_NE(error.find("certificate verify failed"), std::string::npos) << error;
  EXPECT_TRUE(misnamed.Requests().empty());
}

}  // namespace
}  // namespace quorvid
