// The catalogue, the selection rules and the name tables.
#include "hashing/algorithm_table.h"

#include <gtest/gtest.h>

namespace quorvid {
namespace {

using C = THashChoices;

RunSettings With(std::initializer_list<C> options) {
  RunSettings s;
  for (C c : options) s.HashOption[static_cast<int>(c)].Found = true;
  return s;
}

const THashAlgorithmRec& Rec(const RunSettings& s, C c) {
  return s.AlgorithmTable[static_cast<int>(c)];
}

THashSet SetOf(std::initializer_list<C> members) {
  THashSet set = 0;
  for (C c : members) set |= HashBit(c);
  return set;
}

TEST(AlgorithmTable, CatalogueRecords) {
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

TEST(SelectAlgorithms, DefaultsNeverGetAPrefixColumn) {
  RunSettings s;
  ASSERT_TRUE(SelectAlgorithms(s));
  EXPECT_EQ(s.SelectedHashes, HashBit(C::SHA2_256));
  EXPECT_EQ(s.SelectedHashCount, 0);
  EXPECT_EQ(s.MaxHashLength, 64);
  EXPECT_EQ(s.PrefixColumnWidth, 0);
  EXPECT_EQ(s.SavedPrefixColumnWidth, 0);
  EXPECT_EQ(Rec(s, C::SHA2_256).LineLabel, "  {File}  ");
  EXPECT_EQ(Rec(s, C::SHA2_256).Prefix, "");
  // Hash objects for the selected algorithms only; the engine makes any other.
  for (int m = 1; m < kHashChoiceCount; ++m)
    EXPECT_EQ(s.AlgorithmTable[m].Hasher != nullptr, InSet(s.SelectedHashes, ChoiceAt(m))) << m;

  RunSettings k;
  k.Compare.Found = true;
  ASSERT_TRUE(SelectAlgorithms(k));
  EXPECT_EQ(k.SelectedHashes, HashBit(C::Blake3));
  EXPECT_EQ(k.MaxHashLength, 64);

  RunSettings p;
  p.Prefix.Found = true;  // -p alone: the default set still has no prefix here
  ASSERT_TRUE(SelectAlgorithms(p));
  EXPECT_EQ(Rec(p, C::SHA2_256).Prefix, "");
  EXPECT_EQ(p.PrefixColumnWidth, 0);
}

TEST(SelectAlgorithms, VerifyModesUseAllFourteen) {
  for (int variant = 0; variant < 3; ++variant) {
    RunSettings s;
    if (variant == 0) s.Verify.Found = true;
    if (variant == 1) s.VerifyMany.Found = true;
    if (variant == 2) s.Verify.Found = s.Compare.Found = true;
    ASSERT_TRUE(SelectAlgorithms(s));
    EXPECT_EQ(s.SelectedHashes, kAllRealHashes);
    EXPECT_EQ(s.SelectedHashCount, 0);     // a default set never counts as several
    EXPECT_EQ(s.MaxHashLength, 32);        // the last member's width counts
    EXPECT_EQ(s.PrefixColumnWidth, 0);
    EXPECT_EQ(Rec(s, C::MD5).Prefix, "");
  }
  RunSettings chosen = With({C::SHA1});
  chosen.Verify.Found = true;  // an explicit choice wins over the -y default
  ASSERT_TRUE(SelectAlgorithms(chosen));
  EXPECT_EQ(chosen.SelectedHashes, HashBit(C::SHA1));
}

TEST(SelectAlgorithms, AllSelectsEveryRealAlgorithmWithPrefixes) {
  RunSettings s;
  s.All.Found = true;
  s.HashOption[static_cast<int>(C::MD5)].Found = true;  // counted once
  ASSERT_TRUE(SelectAlgorithms(s));
  EXPECT_EQ(s.SelectedHashes, kAllRealHashes);
  EXPECT_EQ(s.SelectedHashCount, 14);
  EXPECT_EQ(s.MaxHashLength, 128);
  EXPECT_EQ(s.PrefixColumnWidth, 21);
  EXPECT_EQ(s.SavedPrefixColumnWidth, 21);
  for (int m = 1; m < kHashChoiceCount; ++m) {
    EXPECT_EQ(s.AlgorithmTable[m].Prefix, s.AlgorithmTable[m].PrefixName);
    EXPECT_EQ(s.AlgorithmTable[m].LineLabel, "  {File}  ");
  }
}

TEST(SelectAlgorithms, PrefixRules) {
  RunSettings two = With({C::SHA1, C::MD5});
  ASSERT_TRUE(SelectAlgorithms(two));
  EXPECT_EQ(two.SelectedHashes, SetOf({C::MD5, C::SHA1}));
  EXPECT_EQ(two.SelectedHashCount, 2);
  EXPECT_EQ(Rec(two, C::MD5).Prefix, "MD5: ");
  EXPECT_EQ(Rec(two, C::SHA1).Prefix, "SHA1: ");
  EXPECT_EQ(two.PrefixColumnWidth, 6);
  EXPECT_EQ(two.MaxHashLength, 40);
  EXPECT_EQ(Rec(two, C::SHA2_256).Prefix, "");  // not selected

  RunSettings one = With({C::MD5});
  ASSERT_TRUE(SelectAlgorithms(one));
  EXPECT_EQ(one.SelectedHashCount, 1);
  EXPECT_EQ(Rec(one, C::MD5).Prefix, "");
  EXPECT_EQ(one.PrefixColumnWidth, 0);
  EXPECT_EQ(one.SavedPrefixColumnWidth, 0);
  EXPECT_EQ(one.MaxHashLength, 32);
  EXPECT_EQ(Rec(one, C::MD5).LineLabel, "  {File}  ");

  RunSettings withP = With({C::MD5});
  withP.Prefix.Found = true;
  ASSERT_TRUE(SelectAlgorithms(withP));
  EXPECT_EQ(Rec(withP, C::MD5).Prefix, "MD5: ");
  EXPECT_EQ(withP.PrefixColumnWidth, 0);       // one algorithm: no column yet
  EXPECT_EQ(withP.SavedPrefixColumnWidth, 5);  // -p brings it back in the layout
}

TEST(SelectAlgorithms, NoHashOverridesEverything) {
  RunSettings s = With({C::None, C::MD5});
  s.All.Found = true;
  s.GenerateList.Found = true;  // a single choice, so -g is content
  ASSERT_TRUE(SelectAlgorithms(s));
  EXPECT_EQ(s.SelectedHashes, HashBit(C::None));
  EXPECT_EQ(s.SelectedHashCount, 1);
  EXPECT_EQ(s.MaxHashLength, 21);
  EXPECT_EQ(s.PrefixColumnWidth, 0);
  EXPECT_EQ(Rec(s, C::None).LineLabel, "  {File}  ");
  for (int m = 0; m < kHashChoiceCount; ++m) EXPECT_FALSE(s.AlgorithmTable[m].Hasher) << m;
}

TEST(SelectAlgorithms, GenerateListTakesOneAlgorithmOnly) {
  RunSettings two = With({C::MD5, C::SHA1});
  two.GenerateList.Found = true;
  EXPECT_FALSE(SelectAlgorithms(two));
  EXPECT_EQ(two.ExitCode, 111);
  EXPECT_EQ(two.HelpSections, 8);
  EXPECT_FALSE(two.AlgorithmTable[1].Hasher);  // nothing prepared for hashing

  RunSettings all;
  all.All.Found = true;
  all.GenerateList.Found = true;
  EXPECT_FALSE(SelectAlgorithms(all));
  EXPECT_EQ(all.ExitCode, 111);

  RunSettings one = With({C::SHA3_256});
  one.GenerateList.Found = true;
  EXPECT_TRUE(SelectAlgorithms(one));
  EXPECT_EQ(one.ExitCode, 0);
  RunSettings none;
  none.GenerateList.Found = true;
  EXPECT_TRUE(SelectAlgorithms(none));
  EXPECT_EQ(none.SelectedHashes, HashBit(C::SHA2_256));
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

}  // namespace
}  // namespace quorvid
