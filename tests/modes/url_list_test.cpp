#include "modes/url_list.h"

#include <gtest/gtest.h>

#include "servers/test_http_server.h"
#include "test_support.h"

namespace quorvid {
namespace {

using test::Exchange;
using test::OkResponse;
using test::RunQuorvid;
using test::TestHttpServer;

const std::string kHashA = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
const std::string kHashB = "2cf24dba5fb0a30e26e83b2ac5b9e29e1b161e5c1fa7425e73043362938b9824";
const std::string kMd5 = "d41d8cd98f00b204e9800998ecf8427e";

using Entries = std::vector<std::string>;

TEST(UrlHashList, PlainChecksumFileGivesOneWholeLinePerHash) {
  std::string body = kHashA + "  empty.txt\n" + kHashB + "  hello.txt\n";
  EXPECT_EQ(ExtractHashEntries(body), (Entries{kHashA + "  empty.txt", kHashB + "  hello.txt"}));
  // CR LF line ends leave empty pieces, which are dropped.
  std::string crlf = kHashA + "  a\r\n\r\n" + kHashB + "  b\r\n";
  EXPECT_EQ(ExtractHashEntries(crlf), (Entries{kHashA + "  a", kHashB + "  b"}));
  // Leading spaces before the hash are skipped but kept in the entry.
  EXPECT_EQ(ExtractHashEntries("   " + kMd5 + " x"), (Entries{"   " + kMd5 + " x"}));
}

TEST(UrlHashList, HtmlTableCellsGiveTheHashAlone) {
  std::string page = "<html><body><table>\n<tr><td>" + kHashA + "</td><td>a.iso</td></tr>\n"
                     "<tr><td>" + kMd5 + "</td><td>b.iso</td></tr></table></body></html>";
  EXPECT_EQ(ExtractHashEntries(page), (Entries{kHashA, kMd5}));
}

TEST(UrlHashList, OnlyPiecesWhoseFirstWordIsAHashAreKept) {
  std::string body = kHashA.substr(1) + "  short.txt\n"  // 63 digits
                     + "g" + kHashA.substr(1) + "  nothex.txt\n"
                     + "0123456789abcdef  xxhash.txt\n"  // 16 digits
                     + kMd5 + "\tname-after-tab\n"      // only a space separates words
                     + "name " + kHashA + "\n";
  EXPECT_EQ(ExtractHashEntries(body), (Entries{"0123456789abcdef  xxhash.txt"}));
  EXPECT_TRUE(ExtractHashEntries("").empty());
}

TEST(UrlHashList, LoadsTheListFromAServerWithTheBrowserUserAgent) {
  TestHttpServer server([](Exchange& x) {
    if (x.target == "/moved")
      x.Send("HTTP/1.1 302 Found\r\nLocation: sums/list.txt\r\n\r\n");
    else
      x.Send(OkResponse(kHashA + "  a\n" + kHashB + "  b\n"));
  });
  RunSettings settings;
  EXPECT_EQ(LoadUrlHashList(settings, server.Url("/moved"), "(-y|--verify)", false),
            (Entries{kHashA + "  a", kHashB + "  b"}));
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].substr(0, requests[1].find("\r\n")), "GET /sums/list.txt HTTP/1.1");
  EXPECT_NE(requests[1].find("\r\nUser-Agent: Mozilla/5.0 (compatible; fpweb)\r\n"),
            std::string::npos);
}

// ---- The --url mode through the real program.

TEST(UrlMode, ListsEveryEntryNumberedThenAnEmptyLine) {
  std::string body;
  for (int i = 0; i < 12; ++i) body += (i % 2 ? kHashB : kHashA) + "  file" + std::to_string(i) + "\r\n";
  TestHttpServer server([&](Exchange& x) {
    x.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
    for (size_t at = 0; at < body.size(); at += 100) {
      std::string piece = body.substr(at, 100);
      char size[16];
      std::snprintf(size, sizeof size, "%zx;part", piece.size());
      x.Send(std::string(size) + "\r\n" + piece + "\r\n");
    }
    x.Send("0\r\n\r\n");
  });
  auto r = RunQuorvid({"--url", server.Url("/sums.txt")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::string eol = test::LineEnd();
  std::string expected;
  for (int i = 0; i < 12; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, " %4d: ", i);
    expected += number + (i % 2 ? kHashB : kHashA) + "  file" + std::to_string(i) + eol;
  }
  EXPECT_EQ(r.out, expected + eol);
}

TEST(UrlMode, HtmlPageReadUntilCloseWithOutputFileAndTee) {
  TestHttpServer server([](Exchange& x) {
    x.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<table><tr><td>" + kHashA +
           "</td><td>a</td></tr><tr><td>" + kMd5 + "</td></tr></table>");
  });
  test::TempDir dir;
  auto r = RunQuorvid({"--url", server.Url("/page.html"), "-o", "out.txt", "-t"},
                      {dir.path(), {}, ""});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::string eol = test::LineEnd();
  std::string expected = "    0: " + kHashA + eol + "    1: " + kMd5 + eol + eol;
  EXPECT_EQ(test::ReadFile(dir / "out.txt"), expected);
  EXPECT_EQ(r.out, expected);

  auto quiet = RunQuorvid({"--use-url", server.Url("/page.html"), "-o", "only.txt"},
                          {dir.path(), {}, ""});
  EXPECT_EQ(quiet.exitCode, 0) << quiet.err;
  EXPECT_EQ(test::ReadFile(dir / "only.txt"), expected);
  EXPECT_EQ(quiet.out, "");
}

TEST(UrlMode, FailuresStopWithTheirCodesAndMessages) {
  TestHttpServer server([](Exchange& x) {
    if (x.target == "/missing")
      x.Send("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
    else if (x.target.rfind("/loop", 0) == 0)
      x.Send("HTTP/1.1 301 Moved\r\nLocation: /loop" + std::to_string(std::stoi(x.target.substr(5)) + 1) + "\r\n\r\n");
    else
      x.Send(OkResponse("<html><body>Please log in</body></html>"));
  });

  auto missing = RunQuorvid({"--url", server.Url("/missing")});
  EXPECT_EQ(missing.exitCode, 131);
  EXPECT_NE(missing.err.find("ERROR: Unable to access URL: \"" + server.Url("/missing") +
                             "\" [Unexpected response status code: 404]"),
            std::string::npos)
      << missing.err;
  EXPECT_EQ(missing.out, "");

  auto loop = RunQuorvid({"--url", server.Url("/loop0")});
  EXPECT_EQ(loop.exitCode, 131);
  EXPECT_NE(loop.err.find("[Maximum allowed redirects reached : 17]"), std::string::npos)
      << loop.err;

  auto login = RunQuorvid({"--url", server.Url("/login")});
  EXPECT_EQ(login.exitCode, 132);
  EXPECT_NE(login.err.find("ERROR: No valid checksums found in URL: \"" + server.Url("/login") +
                           "\""),
            std::string::npos)
      << login.err;
  EXPECT_EQ(login.out, "");

  auto empty = RunQuorvid({"--url", ""});
  EXPECT_EQ(empty.exitCode, 130);
  EXPECT_NE(empty.err.find("ERROR: No valid URL was provided with (--url|--use-url)"),
            std::string::npos)
      << empty.err;
}

TEST(UrlMode, AnAnswerCutShortIsAFailedFetch) {
  // A list cut short could pass for a whole one: the fetch fails instead.
  const std::string hash(64, 'a');
  TestHttpServer server([&](Exchange& x) {
    if (x.target == "/cut")
      x.Send("HTTP/1.1 200 OK\r\nContent-Length: 200\r\n\r\n" + hash + "  a.txt\n");
    else if (x.target == "/chunks")
      x.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n48\r\n" + hash + "  a.txt\n\r\n");
    // anything else: closed before a status line
  });
  const std::pair<const char*, const char*> cases[] = {
      {"/cut", "Connection closed before the whole body arrived"},
      {"/chunks", "Connection closed before the whole body arrived"},
      {"/silent", "Connection closed before a response arrived"}};
  for (const auto& [target, reason] : cases) {
    auto r = RunQuorvid({"--url", server.Url(target)});
    EXPECT_EQ(r.exitCode, 131) << target << r.err;
    EXPECT_NE(r.err.find("ERROR: Unable to access URL: \"" + server.Url(target) + "\" [" + reason +
                         "]"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST(UrlMode, HttpsNeedsACertificateFromATrustedAuthority) {
  if (test::OnWindows()) GTEST_SKIP() << test::kTlsServedOnPosixOnly;
  test::TestCertificates certs;
  test::TempDir dir;
  certs.WriteCaFile(dir / "ca.pem");
  std::vector<std::string> env = {"SSL_CERT_FILE=" + dir / "ca.pem", "SSL_CERT_DIR=" + dir.path()};
  auto answer = [](Exchange& x) { x.Send(OkResponse(kHashA + "  a\n")); };

  TestHttpServer trusted(answer, &certs.server);
  auto ok = RunQuorvid({"--url", trusted.Url("/list", "localhost")}, {"", env, ""});
  EXPECT_EQ(ok.exitCode, 0) << ok.err;
  EXPECT_EQ(ok.out, "    0: " + kHashA + "  a\n\n");

  TestHttpServer stranger(answer, &certs.stranger);
  auto refused = RunQuorvid({"--url", stranger.Url("/list")}, {"", env, ""});
  EXPECT_EQ(refused.exitCode, 131);
  EXPECT_NE(refused.err.find("certificate verify failed"), std::string::npos) << refused.err;
  EXPECT_EQ(refused.out, "");
  EXPECT_TRUE(stranger.Requests().empty());
}

}  // namespace
}  // namespace quorvid
