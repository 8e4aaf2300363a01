#include "support/http_response.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/http_error.h"

namespace quorvid {
namespace {

// Hands out scripted pieces, as a socket would. With `strict`, asking for
// more once the script is used up fails the test: the peer would be blocked
// waiting, so the reader must not ask.
class ScriptedSource : public ByteSource {
 public:
  ScriptedSource(std::vector<std::string> pieces, bool strict)
      : pieces_(std::move(pieces)), strict_(strict) {}

  size_t Read(char* buffer, size_t size) override {
    if (next_ == pieces_.size()) {
      if (strict_) {
        ADD_FAILURE() << "read past the announced response";
        throw HttpError("read past the end");
      }
      return 0;
    }
    std::string& piece = pieces_[next_];
    size_t take = std::min(size, piece.size());
    std::copy_n(piece.data(), take, buffer);
    piece.erase(0, take);
    if (piece.empty()) ++next_;
    return take;
  }

 private:
  std::vector<std::string> pieces_;
  size_t next_ = 0;
  bool strict_;
};

struct Parsed {
  ResponseHead head;
  std::string body;
};

Parsed Parse(std::vector<std::string> pieces, bool strict = false,
             uint64_t maxBody = kDefaultMaxBodyBytes) {
  ScriptedSource source(std::move(pieces), strict);
  ResponseReader reader(source);
  Parsed parsed;
  parsed.head = ReadResponseHead(reader);
  parsed.body = ReadResponseBody(reader, parsed.head, maxBody);
  return parsed;
}

std::string ErrorOf(std::vector<std::string> pieces, uint64_t maxBody = kDefaultMaxBodyBytes) {
  try {
    Parse(std::move(pieces), false, maxBody);
  } catch (const HttpError& error) {
    return error.what();
  }
  return "(no error)";
}

TEST(HttpResponse, ReadsHeadAndContentLengthBodyWithoutReadingPastIt) {
  Parsed p = Parse({"HTTP/1.1 200 OK\r\nContent-Length:  5 \r\nX-A: b\r\n\r\nhel", "lo"}, true);
  EXPECT_EQ(p.head.status, 200);
  EXPECT_EQ(p.body, "hello");
  ASSERT_EQ(p.head.headers.size(), 2u);
  EXPECT_EQ(FindHeader(p.head, "CONTENT-length").value_or(""), "5");

  // Bytes beyond the announced length are not part of the body.
  EXPECT_EQ(Parse({"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello, world"}, true).body,
            "hello");
  EXPECT_EQ(Parse({"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"}, true).body, "");
  // The first Content-Length counts; an unreadable one means "until the end".
  EXPECT_EQ(Parse({"HTTP/1.1 200 OK\r\ncontent-length: 2\r\nContent-Length: 4\r\n\r\nabcd"}).body,
            "ab");
  EXPECT_EQ(Parse({"HTTP/1.1 200 OK\r\nContent-Length: lots\r\n\r\nabcd"}).body, "abcd");
}

TEST(HttpResponse, BodiesCutShortFail) {
  const std::string cut = "Connection closed before the whole body arrived";
  EXPECT_EQ(ErrorOf({"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc"}), cut);
  const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  EXPECT_EQ(ErrorOf({chunked + "5\r\nhel"}), cut);         // inside a chunk
  EXPECT_EQ(ErrorOf({chunked + "5\r\nhello"}), cut);       // before its line end
  EXPECT_EQ(ErrorOf({chunked + "5\r\nhello\r\n"}), cut);  // before the last chunk
}

TEST(HttpResponse, BodyMemoryStaysWithinTheLimit) {
  // Until the end of the data, announced, or chunked: a body one byte over
  // the limit is refused, and the memory held never passes the limit.
  const std::string big(100000, 'x');
  for (const std::string& head :
       {std::string("HTTP/1.1 200 OK\r\n\r\n"), std::string("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n")}) {
    EXPECT_EQ(Parse({head, big}, false, 100000).body.size(), 100000u);
    EXPECT_LE(Parse({head, big}, false, 100000).body.capacity(), 100000u);
    EXPECT_EQ(ErrorOf({head, big + "y"}, 99999), "Response body too large");
  }
}

TEST(HttpResponse, ReadsUntilTheEndWithoutLengthAndAcceptsBareLineFeeds) {
  std::string big(10000, 'x');
  EXPECT_EQ(Parse({"HTTP/1.0 200 OK\n\n", big.substr(0, 3000), big.substr(3000)}).body, big);
  EXPECT_EQ(Parse({"http/1.1 200\r\n\r\nbody"}).head.status, 200);
  // The data ends before any status line: status 0, no error.
  Parsed none = Parse({});
  EXPECT_EQ(none.head.status, 0);
  EXPECT_EQ(none.body, "");
}

TEST(HttpResponse, DecodesChunkedBodiesWithExtensions) {
  Parsed p = Parse({"HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n",
                    "5;name=value\r\nhello\r\n", "6 ; x=\"y\"\r\n worl", "d\r\n",
                    "A\r\n0123456789\r\na\r\nabcdefghij\r\n0\r\n"},
                   true);  // nothing is read after the last chunk, trailers included
  EXPECT_EQ(p.body, "hello world0123456789abcdefghij");

  // "chunked" must be the whole value.
  EXPECT_EQ(Parse({"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n3\r\nabc\r\n0\r\n"})
                .body,
            "3\r\nabc\r\n0\r\n");
}

TEST(HttpResponse, MalformedResponsesFailWithTheirMessage) {
  EXPECT_EQ(ErrorOf({"FTP/1.1 200 OK\r\n\r\n"}),
            "Invalid protocol version in response: \"FTP/1.1\"");
  EXPECT_EQ(ErrorOf({"<html>\r\n"}), "Invalid protocol version in response: \"<html>\"");
  EXPECT_EQ(ErrorOf({"HTTP/1.1 2OO OK\r\n\r\n"}), "Invalid response status code: 2OO");
  EXPECT_EQ(ErrorOf({"HTTP/1.1\r\n\r\n"}), "Invalid response status code: ");
  EXPECT_EQ(ErrorOf({"HTTP/1.1 99999999999 OK\r\n\r\n"}),
            "Invalid response status code: 99999999999");

  const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  EXPECT_EQ(ErrorOf({chunked + "10000000\r\n"}),
            "Chunk too big: Got 268435456, maximum allowed size: 268435455");
  // Read digit by digit: the size shown is the one that first went over.
  EXPECT_EQ(ErrorOf({chunked + "FFFFFFFFFFFFFFFFFFFFFFFF\r\n"}),
            "Chunk too big: Got 4294967295, maximum allowed size: 268435455");
  EXPECT_EQ(ErrorOf({chunked + "5\r\nhelloXX0\r\n\r\n"}), "Chunk line end missing");
  EXPECT_EQ(ErrorOf({chunked + "5\r\nhello\n0\r\n\r\n"}), "Chunk line end missing");
}

TEST(HttpResponse, BodiesAndHeadsAreBounded) {
  EXPECT_EQ(ErrorOf({"HTTP/1.1 200 OK\r\nContent-Length: 101\r\n\r\n"}, 100),
            "Response body too large");
  EXPECT_EQ(ErrorOf({"HTTP/1.1 200 OK\r\n\r\n" + std::string(101, 'x')}, 100),
            "Response body too large");
  EXPECT_EQ(ErrorOf({"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                     "40\r\n" + std::string(64, 'x') + "\r\n40\r\n"},
                    100),
            "Response body too large");
  EXPECT_EQ(ErrorOf({"HTTP/1.1 200 OK\r\nX: " + std::string(100000, 'x')}),
            "Response line too long");
  // Short header lines are bounded by their number (10,000), not only their bytes.
  std::string tiny;
  for (int i = 0; i < 10001; ++i) tiny += "a\r\n";
  EXPECT_EQ(ErrorOf({"HTTP/1.1 200 OK\r\n" + tiny + "\r\n"}), "Response head too large");
  std::string many;
  for (int i = 0; i < 10000; ++i) many += "a\r\n";
  EXPECT_EQ(Parse({"HTTP/1.1 200 OK\r\n" + many + "\r\n"}).head.headers.size(), 10000u);
}

// Random and mutated responses never crash the reader: each either parses or
// fails with an HttpError.
TEST(HttpResponse, SurvivesGarbage) {
  std::mt19937 random(12345);
  const std::string seeds[] = {
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5;x\r\nhello\r\n0\r\n\r\n",
      "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nabcd",
      "HTTP/1.1 302 Found\r\nLocation: ../x\r\n\r\n"};
  const char alphabet[] = "0123456789abcdefABCDEF\r\n;: HTTP/\x00\xff";
  for (int round = 0; round < 3000; ++round) {
    std::string data = seeds[round % 3];
    int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !data.empty(); ++e) {
      size_t at = random() % data.size();
      switch (random() % 3) {
        case 0: data[at] = alphabet[random() % (sizeof alphabet - 1)]; break;
        case 1: data.erase(at, 1 + random() % 4); break;
        default: data.insert(at, 1, alphabet[random() % (sizeof alphabet - 1)]); break;
      }
    }
    std::vector<std::string> pieces;
    for (size_t at = 0; at < data.size();) {
      size_t length = 1 + random() % 7;
      pieces.push_back(data.substr(at, length));
      at += length;
    }
    try {
      EXPECT_LE(Parse(pieces, false, 1 << 20).body.size(), 1u << 20);
    } catch (const HttpError&) {
    }
  }
}

}  // namespace
}  // namespace quorvid
