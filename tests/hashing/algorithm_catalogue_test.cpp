// The catalogue and what is derived from its rows: the table records, the
// name lookups, the comma list, the digest lengths.
#include "hashing/algorithm_catalogue.h"

#include <gtest/gtest.h>

namespace quorvid {
namespace {

using C = THashChoices;

THashSet SetOf(std::initializer_list<C> members) {
  THashSet set = 0;
  for (C c : members) set |= HashBit(c);
  return set;
}

TEST(AlgorithmCatalogue, TableRecords) {
  THashChoicesArray t;
  BuildAlgorithmTable(t);
  EXPECT_FALSE(t[0].IsRealHash);
  EXPECT_EQ(t[0].HashLength, 21);
  EXPECT_EQ(t[0].FsumLabel, " ?NOHASH*");
  const int32_t lengths[] = {21, 32, 40, 64, 96, 128, 64, 96, 128, 64, 128, 64, 16, 32, 32};
  for (int m = 0; m < kHashChoiceCount; ++m) {
    EXPECT_EQ(t[m].Choice, ChoiceAt(m));
    EXPECT_EQ(t[m].HashLength, lengths[m]) << m;
    EXPECT_EQ(t[m].IsRealHash, m != 0);
    EXPECT_EQ(t[m].PrefixName, t[m].DisplayName + ": ");
    EXPECT_EQ(t[m].PrefixWidth, static_cast<int32_t>(t[m].PrefixName.size()));
    EXPECT_EQ(t[m].LineLabel, t[m].FsumLabel);
    EXPECT_TRUE(t[m].Prefix.empty());
    EXPECT_FALSE(t[m].Hasher);
  }
  EXPECT_EQ(t[static_cast<int>(C::MurmurHash3_x86)].PrefixName, "MurmurHash3_x86_128: ");
  EXPECT_EQ(t[static_cast<int>(C::MurmurHash3_x86)].PrefixWidth, 21);
  EXPECT_EQ(t[static_cast<int>(C::SHA3_256)].FsumLabel, " ?SHA3_256*");
  EXPECT_EQ(t[static_cast<int>(C::MD5)].ListLabel, " *");
  EXPECT_EQ(t[static_cast<int>(C::SHA2_256)].ListLabel, " ?SHA256*");
  EXPECT_EQ(t[static_cast<int>(C::SHA2_512)].ListLabel, " ?SHA512*");
  EXPECT_EQ(t[static_cast<int>(C::SHA1)].ListLabel, " ?SHA1*");
  EXPECT_EQ(t[static_cast<int>(C::XXHash64)].ListLabel, " ?XXHash64*");
  EXPECT_EQ(t[static_cast<int>(C::MurmurHash3_x64)].ListLabel, " ?MH3_X64*");
}

TEST(AlgorithmFromListName, NamesFromChecksumLists) {
  EXPECT_EQ(AlgorithmFromListName("sha256"), C::SHA2_256);
  EXPECT_EQ(AlgorithmFromListName("SHA2_256"), C::SHA2_256);
  EXPECT_EQ(AlgorithmFromListName("whirlpool"), C::SHA2_256);
  EXPECT_EQ(AlgorithmFromListName(""), C::SHA2_256);
  EXPECT_EQ(AlgorithmFromListName(" MD5"), C::SHA2_256);  // no trimming
  EXPECT_EQ(AlgorithmFromListName("blk2"), C::Blake2S);
  EXPECT_EQ(AlgorithmFromListName("Blake2B"), C::Blake2B);
  EXPECT_EQ(AlgorithmFromListName("none"), C::None);
  EXPECT_EQ(AlgorithmFromListName("md5"), C::MD5);
  EXPECT_EQ(AlgorithmFromListName("Sha512"), C::SHA2_512);
  EXPECT_EQ(AlgorithmFromListName("sha384"), C::SHA2_384);
  EXPECT_EQ(AlgorithmFromListName("sha3_512"), C::SHA3_512);
  EXPECT_EQ(AlgorithmFromListName("blk3"), C::Blake3);
  EXPECT_EQ(AlgorithmFromListName("xx64"), C::XXHash64);
  EXPECT_EQ(AlgorithmFromListName("mh3"), C::MurmurHash3_x86);
  EXPECT_EQ(AlgorithmFromListName("murmurhash3_x86"), C::MurmurHash3_x86);
  EXPECT_EQ(AlgorithmFromListName("MH3_X64"), C::MurmurHash3_x64);
  EXPECT_EQ(AlgorithmFromListName("sha3"), C::SHA2_256);  // not in the list table
}

TEST(SelectedNamesList, CommaListInCatalogueOrder) {
  EXPECT_EQ(SelectedNamesList(SetOf({C::SHA2_256, C::MD5})), "MD5,SHA2_256");
  EXPECT_EQ(SelectedNamesList(HashBit(C::MurmurHash3_x64)), "MurmurHash3_x64");
  EXPECT_EQ(SelectedNamesList(0), "");
  EXPECT_EQ(SelectedNamesList(kAllRealHashes),
            "MD5,SHA1,SHA2_256,SHA2_384,SHA2_512,SHA3_256,SHA3_384,SHA3_512,Blake2S,Blake2B,"
            "Blake3,XXHash64,MurmurHash3_x86,MurmurHash3_x64");
}

TEST(AlgorithmCatalogue, DerivedFacts) {
  EXPECT_EQ(kAllRealHashes, 0x7FFEu);  // bits 1 to 14
  for (int m = 0; m < kHashChoiceCount; ++m) {
    const TAlgorithmRow& row = AlgorithmRow(ChoiceAt(m));
    EXPECT_EQ(row.member, ChoiceAt(m));
    // Every real algorithm makes hash objects whose digests fill its width.
    if (m == 0) {
      EXPECT_EQ(MakeHasher(ChoiceAt(m)), nullptr);
      continue;
    }
    std::unique_ptr<IHash> hasher = MakeHasher(ChoiceAt(m));
    ASSERT_NE(hasher, nullptr) << m;
    EXPECT_EQ(static_cast<int32_t>(hasher->DigestSize() * 2), row.hashLength) << m;
    EXPECT_GT(row.costPerByte, 0.0);
    EXPECT_EQ(row.splitsFile, ChoiceAt(m) == C::Blake3);
  }
  for (size_t length : {16, 32, 40, 64, 96, 128}) EXPECT_TRUE(IsDigestLength(length)) << length;
  for (size_t length : {0, 21, 31, 48, 256}) EXPECT_FALSE(IsDigestLength(length)) << length;
}

// A -g list names each algorithm through its label; reading the list back
// must find the same algorithm.
TEST(AlgorithmCatalogue, ListLabelsReadBackAsTheirAlgorithm) {
  THashChoicesArray table;
  BuildAlgorithmTable(table);
  for (int m = 1; m < kHashChoiceCount; ++m) {
    const std::string& label = table[m].ListLabel;
    if (ChoiceAt(m) == C::MD5) {
      EXPECT_EQ(label, " *");  // the bare form: its length names MD5
      continue;
    }
    ASSERT_EQ(label.rfind(" ?", 0), 0u) << label;
    ASSERT_EQ(label.back(), '*') << label;
    EXPECT_EQ(AlgorithmFromListName(label.substr(2, label.size() - 3)), ChoiceAt(m)) << label;
  }
}

TEST(AlgorithmFromTagName, WordsOfTheTagForm) {
  EXPECT_EQ(AlgorithmFromTagName("SHA256"), C::SHA2_256);
  EXPECT_EQ(AlgorithmFromTagName("sha2_256"), C::SHA2_256);
  EXPECT_EQ(AlgorithmFromTagName("SHA2-512"), C::SHA2_512);
  EXPECT_EQ(AlgorithmFromTagName("sha3_384"), C::SHA3_384);
  EXPECT_EQ(AlgorithmFromTagName("Blake2b"), C::Blake2B);
  EXPECT_EQ(AlgorithmFromTagName("XXH64"), C::XXHash64);
  EXPECT_EQ(AlgorithmFromTagName("md5"), C::MD5);
  EXPECT_EQ(AlgorithmFromTagName("SHA3"), C::None);
  EXPECT_EQ(AlgorithmFromTagName("MH3"), C::None);
  EXPECT_EQ(AlgorithmFromTagName(""), C::None);
}

}  // namespace
}  // namespace quorvid
