#include "cli/option_table.h"

#include <gtest/gtest.h>

#include "cli/find_option.h"

namespace quorvid {
namespace {

RunSettings Parse(std::vector<std::string> args) {
  RunSettings s;
  s.Args = MakeArgumentList(args);
  ParseCommandLine(s);
  return s;
}

const TFindParamRec& Hash(const RunSettings& s, THashChoices c) {
  return s.HashOption[static_cast<size_t>(c)];
}

TEST(OptionTable, TheProductsSixtySixRowsInSearchOrderThenTheAddedOne) {
  const auto& t = OptionTable();
  ASSERT_EQ(t.size(), 67u);
  EXPECT_EQ(t[6].Names, "  VERSION-ONLY BUILD-ONLY VERSION");
  EXPECT_EQ(t[66].Names, "  PROGRESS");
  EXPECT_EQ(t[0].Names, "  DEBUG DEBUG-MODE");
  EXPECT_EQ(t[3].Names, "H HELP ? HELP2 H2 ??");
  EXPECT_EQ(t[4].Names, "V VERBOSE BUILD HELP2 H2 ?? HELP3 H3 ???");
  EXPECT_EQ(t[22].Names, "# SHOWDATE");
  EXPECT_EQ(t[29].Names, "M MAX MAXSIZE");
  EXPECT_EQ(t[38].Names, "  CP CODEPAGE");
  EXPECT_EQ(t[50].Names, "@ ALL");
  EXPECT_EQ(t[57].Names, "3 SHA3        SHA3_256");
  EXPECT_EQ(t[64].Names, "  MH3 MURMURHASH3_x86 MURMURHASH3_x86_128 MURMURHASH3 MURMURHASH3_128");
  EXPECT_EQ(t[65].Names, "      MURMURHASH3_x64 MURMURHASH3_x64_128");
  // Rows 52 to 66 are the algorithm records in member order.
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(t[51 + i].HashIndex, i);
    EXPECT_EQ(t[51 + i].Field, nullptr);
  }
  for (int i = 0; i < 51; ++i) EXPECT_NE(t[i].Field, nullptr) << i;
}

TEST(OptionTable, SharedHelpWordsSetSeveralRecords) {
  auto h2 = Parse({"--h2"});
  EXPECT_TRUE(h2.Help.Found);
  EXPECT_TRUE(h2.Verbose.Found);
  EXPECT_FALSE(h2.Help3.Found);
  auto h3 = Parse({"--???"});
  EXPECT_FALSE(h3.Help.Found);
  EXPECT_TRUE(h3.Verbose.Found);
  EXPECT_TRUE(h3.Help3.Found);
  auto v = Parse({"-v"});
  EXPECT_FALSE(v.Help.Found);
  EXPECT_TRUE(v.Verbose.Found);
  EXPECT_FALSE(v.Help3.Found);
}

TEST(OptionTable, AlgorithmWordsSelectTheirMembers) {
  auto s = Parse({"--blake2", "--mh3", "-3", "--512", "--murmurhash3_X64_128", "-@", "-n"});
  EXPECT_TRUE(Hash(s, THashChoices::Blake2S).Found);
  EXPECT_FALSE(Hash(s, THashChoices::Blake2B).Found);
  EXPECT_TRUE(Hash(s, THashChoices::MurmurHash3_x86).Found);
  EXPECT_TRUE(Hash(s, THashChoices::SHA3_256).Found);
  EXPECT_TRUE(Hash(s, THashChoices::SHA2_512).Found);
  EXPECT_TRUE(Hash(s, THashChoices::MurmurHash3_x64).Found);
  EXPECT_TRUE(Hash(s, THashChoices::None).Found);
  EXPECT_TRUE(s.All.Found);
  EXPECT_FALSE(Hash(s, THashChoices::MD5).Found);
}

TEST(OptionTable, SearchOrderDecidesWhoTakesAnArgument) {
  // -c (row 10) is found before -o (row 16), so -o lacks its value.
  auto s = Parse({"-o", "-c"});
  EXPECT_EQ(s.Args[0].Status, TParamStatus::Incomplete);
  EXPECT_EQ(s.Args[1].Status, TParamStatus::Option);
  // -m (row 30) takes "-5" as its value before the MD5 search (row 53) sees it.
  auto m = Parse({"-m", "-5"});
  EXPECT_EQ(m.MaxSizeBytes, -5);
  EXPECT_TRUE(Hash(m, THashChoices::MD5).Found);
  EXPECT_EQ(m.Args[0].Status, TParamStatus::Option);
  // The values of --audible-error and --error-delay are taken, never list items.
  auto a = Parse({"--audible-error", "abc"});
  EXPECT_TRUE(a.AudibleError.Found);
  EXPECT_EQ(a.Args[1].Status, TParamStatus::OptionValue);
}

TEST(OptionTable, NumericOptionsFillTheirTypedFields) {
  auto s = Parse({"-m", "20,000.99", "--cp", "70000", "--older", "-5", "--newer=12"});
  EXPECT_EQ(s.MaxSizeBytes, 20000);
  EXPECT_FALSE(s.MaxSize.IsDefaulted);
  EXPECT_EQ(s.CodePageId, 65535);
  EXPECT_TRUE(s.CodePage.IsDefaulted);
  EXPECT_EQ(s.OlderThanDays, 50000);
  EXPECT_TRUE(s.OlderThan.IsDefaulted);
  EXPECT_EQ(s.NewerThanDays, 12);
  EXPECT_EQ(s.NewerThan.Value1, "12");

  auto none = Parse({"x"});
  EXPECT_EQ(none.MaxSizeBytes, 4294967295LL);
  EXPECT_TRUE(none.MaxSize.IsDefaulted);
  EXPECT_EQ(none.MaxSize.Value1, "4294967295");
  EXPECT_EQ(none.CodePageId, 65001);
  EXPECT_EQ(none.OlderThanDays, 0);
  auto zero = Parse({"--cp", "0"});
  EXPECT_EQ(zero.CodePageId, 1);
  EXPECT_TRUE(zero.CodePage.IsDefaulted);
}

TEST(OptionTable, KnownNamesHoldEveryWordOfTheTableOnce) {
  auto s = Parse({});
  auto words = SplitNameWords(s.KnownNames);
  EXPECT_EQ(words.front(), "DEBUG");
  EXPECT_EQ(words.back(), "PROGRESS");
  EXPECT_EQ(std::count(words.begin(), words.end(), "VERSION"), 1);
  EXPECT_EQ(std::count(words.begin(), words.end(), "HELP2"), 1);
  EXPECT_EQ(std::count(words.begin(), words.end(), "???"), 1);
  EXPECT_EQ(std::count(words.begin(), words.end(), "INFO"), 1);
}

}  // namespace
}  // namespace quorvid
