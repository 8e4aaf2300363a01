// Hostile web servers on 127.0.0.1: each fetch ends with one error line and
// exit code 131, quickly and in bounded memory.
#include <gtest/gtest.h>
#include <openssl/x509.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "faults/fault_runner.h"
#include "servers/test_http_server.h"
#include "support/http.h"
#include "support/http_error.h"
#include "test_support.h"

namespace quorvid::test {
namespace {

const long kMemoryLimitKiB = 64 * 1024;

// The bracketed reason of the "Unable to access URL" line, or "" when the
// line is missing; the line must be whole (one line, ending in "]").
std::string AccessError(const FaultRun& r) {
  for (const std::string& line : SplitLines(r.err))
    if (line.rfind("ERROR: Unable to access URL: \"", 0) == 0 && line.back() == ']')
      return line.substr(line.find(" [") + 2, line.size() - line.find(" [") - 3);
  return "";
}

void ExpectBoundedFailure(const FaultRun& r, const std::string& reason) {
  EXPECT_EQ(r.exitCode, 131) << r.err;
  EXPECT_EQ(AccessError(r).substr(0, reason.size()), reason) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_LT(r.seconds, 20.0);
  long limit = BuiltWithSanitizer() ? 4 * kMemoryLimitKiB : kMemoryLimitKiB;
  EXPECT_LT(r.peakRssKiB, limit) << reason;
}

TEST(HostileServer, EndlessHeadersHugeLengthsAndChunksAndBadRedirects) {
  TestHttpServer server([](Exchange& x) {
    if (x.target == "/headers") {
      x.Send("HTTP/1.1 200 OK\r\n");
      // Far more than any head may hold; once the client hangs up, every
      // send returns at once.
      std::string batch;
      for (int i = 0; i < 1000; ++i) batch += "X-Filler-" + std::to_string(i) + ": endless\r\n";
      for (int i = 0; i < 200; ++i) x.Send(batch);
    } else if (x.target == "/tiny-headers") {
      x.Send("HTTP/1.1 200 OK\r\n");
      std::string batch;
      for (int i = 0; i < 20000; ++i) batch += "a\r\n";
      for (int i = 0; i < 100; ++i) x.Send(batch);
    } else if (x.target == "/length") {
      x.Send("HTTP/1.1 200 OK\r\nContent-Length: 10737418240\r\n\r\n0123456789abcdef");
    } else if (x.target == "/chunk") {
      x.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFF\r\nabc");
    } else if (x.target == "/ftp") {
      x.Send("HTTP/1.1 302 Found\r\nLocation: ftp://127.0.0.1/list.txt\r\n\r\n");
    } else if (x.target == "/file") {
      x.Send("HTTP/1.1 301 Moved\r\nLocation: file:///etc/passwd\r\n\r\n");
    }
  });

  ExpectBoundedFailure(RunFault({"--url", server.Url("/headers")}), "Response head too large");
  ExpectBoundedFailure(RunFault({"--url", server.Url("/tiny-headers")}), "Response head too large");
  ExpectBoundedFailure(RunFault({"--url", server.Url("/length")}), "Response body too large");
  ExpectBoundedFailure(RunFault({"--url", server.Url("/chunk")}),
                       "Chunk too big: Got 4294967295, maximum allowed size: 268435455");
  ExpectBoundedFailure(RunFault({"--url", server.Url("/ftp")}), "Invalid protocol : \"ftp\"");
  ExpectBoundedFailure(RunFault({"--url", server.Url("/file")}), "Invalid protocol : \"file\"");

  // -y fetches its list the same way.
  TempDir dir;
  WriteFile(dir / "a.txt", "alpha\n");
  ExpectBoundedFailure(RunFault({"-y", dir / "a.txt", server.Url("/length")}),
                       "Response body too large");
}

TEST(HostileServer, OneByteASecondFailsAtTheStallBound) {
  std::atomic<bool> done{false};
  TestHttpServer server([&](Exchange& x) {
    for (char c : std::string("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n")) {
      if (done) return;
      x.Send(std::string(1, c));
      for (int i = 0; i < 20 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  HttpGetOptions options;
  options.stallTimeoutMs = 400;
  auto start = std::chrono::steady_clock::now();
  std::string error;
  try {
    HttpGet(server.Url("/slow"), options);
  } catch (const HttpError& e) {
    error = e.what();
  }
  done = true;
  EXPECT_EQ(error, "Timed out reading from 127.0.0.1:" + std::to_string(server.port()));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

class HostileTls : public ::testing::Test {
 protected:
  void SetUp() override {
    certs_.WriteCaFile(dir_ / "ca.pem");
    env_ = {"SSL_CERT_FILE=" + dir_ / "ca.pem", "SSL_CERT_DIR=" + dir_.path()};
  }
  FaultRun Fetch(const std::string& url) {
    FaultOptions options;
    options.extraEnv = env_;
    return RunFault({"--url", url}, options);
  }
  TestCertificates certs_;
  TempDir dir_;
  std::vector<std::string> env_;
};

TEST_F(HostileTls, ExpiredAndSelfSignedCertificatesAreRefused) {
  auto answer = [](Exchange& x) { x.Send(OkResponse(std::string(64, 'a') + "  a\n")); };

  // Issued by the trusted authority, but its time is over.
  TestIdentity expired = MakeIdentity("localhost", &certs_.ca, "DNS:localhost,IP:127.0.0.1");
  X509_gmtime_adj(X509_getm_notBefore(expired.cert), -30 * 86400);
  X509_gmtime_adj(X509_getm_notAfter(expired.cert), -86400);
  X509_sign(expired.cert, certs_.ca.key, EVP_sha256());
  TestHttpServer stale(answer, &expired);
  FaultRun r = Fetch(stale.Url("/list", "localhost"));
  ExpectBoundedFailure(r, "");
  EXPECT_NE(AccessError(r).find("certificate has expired"), std::string::npos) << r.err;
  EXPECT_TRUE(stale.Requests().empty());

  TestIdentity self = MakeIdentity("localhost", nullptr);
  TestHttpServer selfSigned(answer, &self);
  r = Fetch(selfSigned.Url("/list", "localhost"));
  ExpectBoundedFailure(r, "");
  EXPECT_NE(AccessError(r).find("certificate verify failed"), std::string::npos) << r.err;
  EXPECT_TRUE(selfSigned.Requests().empty());

  // The same authority's valid certificate works, so the refusals above are
  // about the certificates.
  TestHttpServer good(answer, &certs_.server);
  EXPECT_EQ(Fetch(good.Url("/list", "localhost")).exitCode, 0);
}

}  // namespace
}  // namespace quorvid::test
