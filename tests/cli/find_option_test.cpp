#include "cli/find_option.h"

#include <gtest/gtest.h>

namespace quorvid {
namespace {

struct Search {
  TParamStatusArray args;
  std::string known;
  TFindParamRec rec;
  explicit Search(std::vector<std::string> a) : args(MakeArgumentList(a)) {}
  TFindParamRec& Find(std::string_view names, int values) {
    FindOption(args, names, values, rec, known);
    return rec;
  }
  TParamStatus StatusAt(size_t i) const { return args[i].Status; }
};

TEST(FindOption, EveryWrittenFormOfALongNameMatchesWithoutRegardToCase) {
  for (const char* arg : {"--HeLp", "-help", "/HELP", "--help"}) {
    Search s({arg});
    auto& rec = s.Find("H HELP ? HELP2 H2 ??", 0);
    EXPECT_TRUE(rec.Found) << arg;
    EXPECT_EQ(rec.ArgIndex, 0);
    EXPECT_EQ(rec.NextArgIndex, 1);
    EXPECT_EQ(rec.ArgText, arg);
    EXPECT_EQ(s.StatusAt(0), TParamStatus::Option);
    EXPECT_TRUE(s.args[0].Recognised);
  }
}

TEST(FindOption, OneCharacterNamesHaveNoDoubleDashForm) {
  for (const char* arg : {"-h", "/h", "-H", "-?", "/?"}) {
    Search s({arg});
    EXPECT_TRUE(s.Find("H HELP ? HELP2 H2 ??", 0).Found) << arg;
  }
  for (const char* arg : {"--h", "--?", "h", "-", "/", "", "---help", "-hel"}) {
    Search s({arg});
    EXPECT_FALSE(s.Find("H HELP ? HELP2 H2 ??", 0).Found) << arg;
    EXPECT_EQ(s.StatusAt(0), TParamStatus::Unrecognised) << arg;
    EXPECT_EQ(s.rec.ArgIndex, -1);
    EXPECT_EQ(s.rec.NextArgIndex, -1);
  }
  // "??" and "???" are long names; digit names follow the same rule.
  for (const char* arg : {"--??", "-??", "/??"}) {
    Search s({arg});
    EXPECT_TRUE(s.Find("H HELP ? HELP2 H2 ??", 0).Found) << arg;
  }
  Search md5({"-5"});
  EXPECT_TRUE(md5.Find("5 MD5", 0).Found);
  Search d384({"--384"});
  EXPECT_TRUE(d384.Find("  384  SHA384 SHA2_384", 0).Found);
  Search d384short({"-384"});
  EXPECT_TRUE(d384short.Find("  384  SHA384 SHA2_384", 0).Found);
}

TEST(FindOption, InlineValueAfterEqualsOrColonConsumesNothingElse) {
  Search s({"--out=/tmp/x.txt", "next"});
  auto& rec = s.Find("O OUT", 1);
  EXPECT_TRUE(rec.Found);
  EXPECT_TRUE(rec.HasInlineValue);
  EXPECT_EQ(rec.ArgText, "--out");
  EXPECT_EQ(rec.Value1, "/tmp/x.txt");
  EXPECT_EQ(s.StatusAt(0), TParamStatus::OptionWithInlineValue);
  EXPECT_TRUE(s.args[0].InlineForm);
  EXPECT_TRUE(s.args[0].IsValue);
  EXPECT_EQ(s.StatusAt(1), TParamStatus::Unrecognised);

  Search colon({"-o:C:\\x.txt"});
  EXPECT_EQ(colon.Find("O OUT", 1).Value1, "C:\\x.txt");
  EXPECT_EQ(colon.rec.ArgText, "-o");

  Search empty({"-o="});
  EXPECT_TRUE(empty.Find("O OUT", 1).Found);
  EXPECT_EQ(empty.rec.Value1, "");
  EXPECT_TRUE(empty.rec.HasInlineValue);

  // Presence-only options accept the form too; two-value options get no Value2.
  Search presence({"-r=yes"});
  EXPECT_TRUE(presence.Find("R RDIR", 0).Found);
  Search two({"-k=a", "b"});
  EXPECT_EQ(two.Find("K COMPARE", 2).Value1, "a");
  EXPECT_EQ(two.rec.Value2, "");
  EXPECT_EQ(two.StatusAt(1), TParamStatus::Unrecognised);
}

TEST(FindOption, InlineValueIsCutAt999Characters) {
  std::string longValue(1500, 'v');
  Search s({"--out=" + longValue});
  EXPECT_EQ(s.Find("O OUT", 1).Value1, std::string(999, 'v'));
}

TEST(FindOption, ValuesAreTakenWhateverTheyLookLike) {
  Search s({"-d", "-r", "/x"});
  auto& dir = s.Find("D DIR", 1);
  EXPECT_EQ(dir.Value1, "-r");
  EXPECT_EQ(s.StatusAt(1), TParamStatus::OptionValue);
  EXPECT_TRUE(s.args[1].IsValue);
  EXPECT_EQ(s.StatusAt(0), TParamStatus::Option);
  // The later -r search still recognises the value as its option.
  TFindParamRec rdir;
  FindOption(s.args, "R RDIR", 0, rdir, s.known);
  EXPECT_TRUE(rdir.Found);
  EXPECT_EQ(s.StatusAt(1), TParamStatus::Option);
  EXPECT_EQ(s.StatusAt(2), TParamStatus::Unrecognised);
}

TEST(FindOption, AValueSlotHoldingAnOptionMakesTheOptionIncomplete) {
  Search s({"-o", "-c"});
  TFindParamRec count;
  FindOption(s.args, "C COUNT", 0, count, s.known);
  auto& out = s.Find("O OUT", 1);
  EXPECT_TRUE(out.Found);
  EXPECT_EQ(out.Value1, "-c");  // still copied
  EXPECT_EQ(s.StatusAt(0), TParamStatus::Incomplete);
  EXPECT_TRUE(s.args[0].Recognised);
  EXPECT_EQ(s.StatusAt(1), TParamStatus::Option);

  // The second value slot follows the same rule.
  Search two({"-c", "-k", "a", "-c"});
  two.args[3].Status = TParamStatus::Option;
  auto& k = two.Find("K COMPARE", 2);
  EXPECT_EQ(k.Value1, "a");
  EXPECT_EQ(k.Value2, "-c");
  EXPECT_EQ(two.StatusAt(1), TParamStatus::Incomplete);
  EXPECT_EQ(two.StatusAt(2), TParamStatus::OptionValue);
}

TEST(FindOption, MissingValuesAtTheEndAreEmptyWithoutError) {
  Search s({"-k", "a"});
  auto& k = s.Find("K COMPARE", 2);
  EXPECT_TRUE(k.Found);
  EXPECT_EQ(k.Value1, "a");
  EXPECT_EQ(k.Value2, "");
  EXPECT_EQ(s.StatusAt(0), TParamStatus::Option);

  Search last({"x", "-o"});
  EXPECT_EQ(last.Find("O OUT", 1).Value1, "");
  EXPECT_EQ(last.StatusAt(1), TParamStatus::Option);
}

TEST(FindOption, FirstOccurrenceWinsAndLaterOnesStayUnrecognised) {
  Search s({"-l", "-l", "abc"});
  auto& rec = s.Find("L LIST", 0);
  EXPECT_EQ(rec.ArgIndex, 0);
  EXPECT_EQ(s.StatusAt(1), TParamStatus::Unrecognised);
  EXPECT_EQ(s.StatusAt(2), TParamStatus::Unrecognised);

  // Any of the option's words counts: the earliest position wins.
  Search words({"x", "--dir", "a", "-d", "b"});
  EXPECT_EQ(words.Find("D DIR", 1).ArgIndex, 1);
  EXPECT_EQ(words.rec.Value1, "a");
}

TEST(FindOption, KnownNamesCollectEveryWordOnce) {
  Search s({});
  s.Find("H HELP ? HELP2 H2 ??", 0);
  s.Find("V VERBOSE BUILD HELP2 H2 ?? HELP3 H3 ???", 0);
  EXPECT_EQ(s.known, "H HELP ? HELP2 H2 ?? V VERBOSE BUILD HELP3 H3 ???");
  EXPECT_EQ(SplitNameWords("  A,B;;C  D "), (std::vector<std::string>{"A", "B", "C", "D"}));
}

TEST(ParseOptionNumber, DropsDecimalsAndThousandSeparators) {
  EXPECT_EQ(ParseOptionNumber("20,000.99"), 20000);
  EXPECT_EQ(ParseOptionNumber("20.000"), 20);
  EXPECT_EQ(ParseOptionNumber("-5"), -5);
  EXPECT_EQ(ParseOptionNumber("+7"), 7);
  EXPECT_EQ(ParseOptionNumber("abc"), std::nullopt);
  EXPECT_EQ(ParseOptionNumber(""), std::nullopt);
  EXPECT_EQ(ParseOptionNumber(".5"), std::nullopt);
  EXPECT_EQ(ParseOptionNumber("12x"), std::nullopt);
  EXPECT_EQ(ParseOptionNumber("99999999999999999999"), std::nullopt);
}

TEST(ConvertNumericOption, DefaultsRangesAndUnsignedClamping) {
  struct Case {
    std::string text;
    int64_t def, min, max;
    bool ranged;
    int64_t want;
    bool defaulted;
  };
  const Case cases[] = {
      {"20,000.99", 4294967295LL, 0, 0, false, 20000, false},   // -m
      {"abc", 4294967295LL, 0, 0, false, 4294967295LL, true},  // -m unreadable
      {"0", 65001, 1, 65535, true, 1, true},                   // --cp below range
      {"70000", 65001, 1, 65535, true, 65535, true},           // --cp above range
      {"65001", 65001, 1, 65535, true, 65001, true},           // typed the default
      {"1252", 65001, 1, 65535, true, 1252, false},
      {"60000", 0, 0, 50000, true, 50000, true},               // --older
      {"-5", 0, 0, 50000, true, 50000, true},                  // negative counts as huge
      {"7", 0, 0, 50000, true, 7, false},
      {"", 0, 0, 50000, true, 0, true},
  };
  for (const Case& c : cases) {
    TFindParamRec rec;
    rec.Value1 = c.text;
    EXPECT_EQ(ConvertNumericOption(rec, c.def, c.ranged, c.min, c.max), c.want) << c.text;
    EXPECT_EQ(rec.IsDefaulted, c.defaulted) << c.text;
    EXPECT_EQ(rec.Value1, std::to_string(c.want)) << c.text;
  }
}

}  // namespace
}  // namespace quorvid
