// Which algorithms a run uses: defaults, prefixes, --nohash, -g's limit.
#include "cli/algorithm_selection.h"

#include <gtest/gtest.h>

#include "output/run_stop.h"

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

TEST(SelectAlgorithms, DefaultsNeverGetAPrefixColumn) {
  RunSettings s;
  SelectAlgorithms(s);
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
  SelectAlgorithms(k);
  EXPECT_EQ(k.SelectedHashes, HashBit(C::Blake3));
  EXPECT_EQ(k.MaxHashLength, 64);

  RunSettings p;
  p.Prefix.Found = true;  // -p alone: the default set still has no prefix here
  SelectAlgorithms(p);
  EXPECT_EQ(Rec(p, C::SHA2_256).Prefix, "");
  EXPECT_EQ(p.PrefixColumnWidth, 0);
}

TEST(SelectAlgorithms, VerifyModesUseAllFourteen) {
  for (int variant = 0; variant < 3; ++variant) {
    RunSettings s;
    if (variant == 0) s.Verify.Found = true;
    if (variant == 1) s.VerifyMany.Found = true;
    if (variant == 2) s.Verify.Found = s.Compare.Found = true;
    SelectAlgorithms(s);
    EXPECT_EQ(s.SelectedHashes, kAllRealHashes);
    EXPECT_EQ(s.SelectedHashCount, 0);     // a default set never counts as several
    EXPECT_EQ(s.MaxHashLength, 32);        // the last member's width counts
    EXPECT_EQ(s.PrefixColumnWidth, 0);
    EXPECT_EQ(Rec(s, C::MD5).Prefix, "");
  }
  RunSettings chosen = With({C::SHA1});
  chosen.Verify.Found = true;  // an explicit choice wins over the -y default
  SelectAlgorithms(chosen);
  EXPECT_EQ(chosen.SelectedHashes, HashBit(C::SHA1));
}

TEST(SelectAlgorithms, AllSelectsEveryRealAlgorithmWithPrefixes) {
  RunSettings s;
  s.All.Found = true;
  s.HashOption[static_cast<int>(C::MD5)].Found = true;  // counted once
  SelectAlgorithms(s);
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
  SelectAlgorithms(two);
  EXPECT_EQ(two.SelectedHashes, SetOf({C::MD5, C::SHA1}));
  EXPECT_EQ(two.SelectedHashCount, 2);
  EXPECT_EQ(Rec(two, C::MD5).Prefix, "MD5: ");
  EXPECT_EQ(Rec(two, C::SHA1).Prefix, "SHA1: ");
  EXPECT_EQ(two.PrefixColumnWidth, 6);
  EXPECT_EQ(two.MaxHashLength, 40);
  EXPECT_EQ(Rec(two, C::SHA2_256).Prefix, "");  // not selected

  RunSettings one = With({C::MD5});
  SelectAlgorithms(one);
  EXPECT_EQ(one.SelectedHashCount, 1);
  EXPECT_EQ(Rec(one, C::MD5).Prefix, "");
  EXPECT_EQ(one.PrefixColumnWidth, 0);
  EXPECT_EQ(one.SavedPrefixColumnWidth, 0);
  EXPECT_EQ(one.MaxHashLength, 32);
  EXPECT_EQ(Rec(one, C::MD5).LineLabel, "  {File}  ");

  RunSettings withP = With({C::MD5});
  withP.Prefix.Found = true;
  SelectAlgorithms(withP);
  EXPECT_EQ(Rec(withP, C::MD5).Prefix, "MD5: ");
  EXPECT_EQ(withP.PrefixColumnWidth, 0);       // one algorithm: no column yet
  EXPECT_EQ(withP.SavedPrefixColumnWidth, 5);  // -p brings it back in the layout
}

TEST(SelectAlgorithms, NoHashOverridesEverything) {
  RunSettings s = With({C::None, C::MD5});
  s.All.Found = true;
  s.GenerateList.Found = true;  // a single choice, so -g is content
  SelectAlgorithms(s);
  EXPECT_EQ(s.SelectedHashes, HashBit(C::None));
  EXPECT_EQ(s.SelectedHashCount, 1);
  EXPECT_EQ(s.MaxHashLength, 21);
  EXPECT_EQ(s.PrefixColumnWidth, 0);
  EXPECT_EQ(Rec(s, C::None).LineLabel, "  {File}  ");
  for (int m = 0; m < kHashChoiceCount; ++m) EXPECT_FALSE(s.AlgorithmTable[m].Hasher) << m;
}

TEST(SelectAlgorithms, GenerateListTakesOneAlgorithmOnly) {
  const auto stopCode = [](RunSettings& s) {
    try {
      SelectAlgorithms(s);
    } catch (const TRunStop& stop) {
      EXPECT_EQ(stop.message,
                "Invalid parameters provided: Only one hash algorithm can be used with -g");
      return stop.exitCode;
    }
    return 0;
  };
  RunSettings two = With({C::MD5, C::SHA1});
  two.GenerateList.Found = true;
  EXPECT_EQ(stopCode(two), 111);
  EXPECT_EQ(two.HelpSections, 8);
  EXPECT_FALSE(two.AlgorithmTable[1].Hasher);  // nothing prepared for hashing

  RunSettings all;
  all.All.Found = true;
  all.GenerateList.Found = true;
  EXPECT_EQ(stopCode(all), 111);

  RunSettings one = With({C::SHA3_256});
  one.GenerateList.Found = true;
  SelectAlgorithms(one);
  EXPECT_EQ(one.ExitCode, 0);
  RunSettings none;
  none.GenerateList.Found = true;
  SelectAlgorithms(none);
  EXPECT_EQ(none.SelectedHashes, HashBit(C::SHA2_256));
}

}  // namespace
}  // namespace quorvid
