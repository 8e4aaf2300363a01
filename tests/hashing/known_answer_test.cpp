// Every algorithm against answers computed by independent tools, as text,
// as a file, through the one-read entry, and fed in pieces.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "hashing/algorithm_catalogue.h"
#include "hashing/engine.h"
#include "hashing/hasher.h"
#include "hashing/vectors.h"
#include "test_support.h"

namespace quorvid {
namespace {

using test::InputBytes;
using test::KnownAnswer;

class KnownAnswers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    answers_ = new std::vector<KnownAnswer>(test::LoadKnownAnswers());
    table_ = new THashChoicesArray;
    BuildAlgorithmTable(*table_);
    CreateHashers(*table_);
  }
  static void TearDownTestSuite() {
    delete answers_;
    delete table_;
  }
  static const THashAlgorithmRec& Rec(THashChoices c) { return (*table_)[static_cast<int>(c)]; }

  static std::vector<KnownAnswer>* answers_;
  static THashChoicesArray* table_;
};

std::vector<KnownAnswer>* KnownAnswers::answers_ = nullptr;
THashChoicesArray* KnownAnswers::table_ = nullptr;

TEST_F(KnownAnswers, CoverEveryAlgorithmAndInput) {
  std::map<std::string, std::set<THashChoices>> seen;
  for (const auto& a : *answers_) seen[a.input].insert(a.choice);
  for (const char* input : {"empty", "abc", "utf8", "gen:1023", "gen:1024", "gen:1025",
                            "gen:65535", "gen:65536", "gen:65537", "gen:1048577"})
    EXPECT_EQ(seen[input].size(), 14u) << input;
}

TEST_F(KnownAnswers, TextsHashToTheKnownAnswers) {
  for (const auto& a : *answers_) {
    std::string text = HashOfText(Rec(a.choice), InputBytes(a.input));
    EXPECT_EQ(text, a.text) << a.input << " " << Rec(a.choice).DisplayName;
    EXPECT_EQ(text.size(), static_cast<size_t>(Rec(a.choice).HashLength));
  }
}

TEST_F(KnownAnswers, FilesHashToTheKnownAnswers) {
  test::TempDir dir;
  std::string current;
  for (const auto& a : *answers_) {
    std::string path = dir / (a.input.substr(a.input.find(':') + 1) + ".bin");
    if (a.input != current) {
      test::WriteFile(path, InputBytes(a.input));
      current = a.input;
    }
    int32_t failed = -1;
    EXPECT_EQ(HashFileText(Rec(a.choice), path, failed), a.text)
        << a.input << " " << Rec(a.choice).DisplayName;
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(MatchFileDigest(Rec(a.choice), path, a.text), 0);
  }
}

TEST_F(KnownAnswers, OneReadFeedsEveryAlgorithm) {
  std::map<std::string, TGeneratedHashes> expected;
  for (const auto& a : *answers_) expected[a.input][static_cast<int>(a.choice)] = a.text;
  test::TempDir dir;
  for (const auto& [input, texts] : expected) {
    std::string path = dir / "input.bin";
    test::WriteFile(path, InputBytes(input));
    TGeneratedHashes out;
    out[0] = "stale";
    ASSERT_TRUE(HashFileMany(*table_, kAllRealHashes | HashBit(THashChoices::None), path, out));
    EXPECT_EQ(out, texts) << input;  // None stays empty
  }
  // A subset leaves the other members empty.
  std::string path = dir / "abc.bin";
  test::WriteFile(path, "abc");
  TGeneratedHashes out;
  THashSet set = HashBit(THashChoices::MD5) | HashBit(THashChoices::MurmurHash3_x64);
  ASSERT_TRUE(HashFileMany(*table_, set, path, out));
  for (int m = 0; m < kHashChoiceCount; ++m)
    EXPECT_EQ(out[m].empty(), !InSet(set, ChoiceAt(m))) << m;
  EXPECT_EQ(out[static_cast<int>(THashChoices::MD5)], expected["abc"][1]);
}

TEST_F(KnownAnswers, PiecesOfAnySizeEqualOneShot) {
  std::map<std::pair<std::string, THashChoices>, std::string> byKey;
  for (const auto& a : *answers_) byKey[{a.input, a.choice}] = a.text;
  for (const char* input : {"gen:200000", "gen:3073", "utf8"}) {
    std::string bytes = InputBytes(input);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    for (int m = 1; m < kHashChoiceCount; ++m) {
      auto hasher = MakeHasher(ChoiceAt(m));
      ASSERT_NE(hasher, nullptr);
      for (size_t piece : {1u, 7u, 64u, 1000u, 65536u}) {
        hasher->Reset();
        for (size_t pos = 0; pos < bytes.size(); pos += piece)
          hasher->Update(data + pos, std::min(piece, bytes.size() - pos));
        uint8_t digest[kMaxDigestBytes];
        hasher->Final(digest);
        EXPECT_EQ(HexText({digest, hasher->DigestSize()}), (byKey[{input, ChoiceAt(m)}]))
            << input << " " << Rec(ChoiceAt(m)).DisplayName << " pieces of " << piece;
      }
    }
  }
}

TEST_F(KnownAnswers, UnevenPiecesAcrossTreeAndBlockBoundaries) {
  // Piece sizes that drift across BLAKE3 chunk and subtree boundaries and
  // the 16-byte MurmurHash3 blocks, so no boundary lines up.
  std::string bytes = InputBytes("gen:1048577");
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  for (THashChoices c : {THashChoices::Blake3, THashChoices::MurmurHash3_x86,
                         THashChoices::MurmurHash3_x64, THashChoices::XXHash64}) {
    auto hasher = MakeHasher(c);
    std::string expected = HashOfText(Rec(c), bytes);
    hasher->Reset();
    size_t pos = 0, piece = 1;
    while (pos < bytes.size()) {
      size_t n = std::min(piece, bytes.size() - pos);
      hasher->Update(data + pos, n);
      pos += n;
      piece = piece * 3 + 5;
      if (piece > 300000) piece = 13;
    }
    uint8_t digest[kMaxDigestBytes];
    hasher->Final(digest);
    EXPECT_EQ(HexText({digest, hasher->DigestSize()}), expected) << Rec(c).DisplayName;
  }
}

TEST_F(KnownAnswers, TextIsHashedAsItsUtf8Bytes) {
  // "é" is the two bytes C3 A9 (MD5 from python3 hashlib).
  const THashAlgorithmRec& md5 = Rec(THashChoices::MD5);
  EXPECT_EQ(HashOfText(md5, "\xC3\xA9"), "66ddcd97cfdeabb2f6fb8a999b4bc76f");
  EXPECT_NE(HashOfText(md5, " abc"), HashOfText(md5, "abc"));  // no trimming
  EXPECT_NE(HashOfText(md5, "ABC"), HashOfText(md5, "abc"));   // no case change
}

}  // namespace
}  // namespace quorvid
