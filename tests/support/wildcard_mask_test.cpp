#include "support/wildcard_mask.h"

#include <gtest/gtest.h>

namespace quorvid {
namespace {

// Names out of `names` that the mask string lets through, in order.
std::vector<std::string> Passing(const std::string& maskString,
                                 const std::vector<std::string>& names) {
  TWindowsMaskList masks(maskString);
  EXPECT_TRUE(masks.Valid()) << maskString;
  std::vector<std::string> out;
  for (const auto& name : names)
    if (masks.Matches(name)) out.push_back(name);
  return out;
}

using Names = std::vector<std::string>;

TEST(WildcardMask, StarDotStarAlsoTakesNamesWithoutExtension) {
  EXPECT_EQ(Passing("*.*", {"README", "a.txt", ".profile", "x.tar.gz", "trail."}),
            (Names{"README", "a.txt", ".profile", "x.tar.gz", "trail."}));
  TWindowsMaskUTF8 mask("*.*");
  EXPECT_TRUE(mask.DotStarRuleInUse());
}

TEST(WildcardMask, NameDotStarMatchesTheStemOnly) {
  // Only the part before the last dot is compared, so a second extension fails.
  EXPECT_EQ(Passing("report.*", {"report", "report.txt", "REPORT.DOC", "report.tar.gz", "reports.txt"}),
            (Names{"report", "report.txt", "REPORT.DOC"}));
  // ".*" alone is too short for the rule: names that start with a dot.
  EXPECT_EQ(Passing(".*", {".bashrc", "a.txt", "plain"}), (Names{".bashrc"}));
}

TEST(WildcardMask, TrailingDotMeansNoExtension) {
  EXPECT_EQ(Passing("*.", {"README", "a.txt", "Makefile", ".profile", ".a.b", "trail."}),
            (Names{"README", "Makefile", ".profile", "trail."}));
  TWindowsMaskUTF8 mask("readme.");
  EXPECT_TRUE(mask.TrailingDotRuleInUse());
  EXPECT_TRUE(mask.Matches("README"));
  EXPECT_TRUE(mask.Matches("readme."));  // a POSIX name ending in a dot has no extension
  EXPECT_FALSE(mask.Matches("readme.txt"));
}

TEST(WildcardMask, ExtensionIsCaseInsensitiveAndAnchored) {
  EXPECT_EQ(Passing("*.TXT", {"a.txt", "B.Txt", "a.txt.bak", "atxt", "c.TXT"}),
            (Names{"a.txt", "B.Txt", "c.TXT"}));
}

TEST(WildcardMask, QuestionTakesExactlyOneCharacter) {
  EXPECT_EQ(Passing("data?.csv", {"data1.csv", "data.csv", "data10.csv", "DATAX.CSV"}),
            (Names{"data1.csv", "DATAX.CSV"}));
  // "é" is two bytes but one character.
  EXPECT_EQ(Passing("caf?.txt", {"café.txt", "cafe.txt", "cafés.txt"}),
            (Names{"café.txt", "cafe.txt"}));
  EXPECT_EQ(Passing("??", {"é", "éé", "ab", "abc"}), (Names{"éé", "ab"}));
  EXPECT_EQ(Passing("?", {"日", "€", "ab"}), (Names{"日", "€"}));
}

TEST(WildcardMask, NonAsciiLettersCompareWithoutCase) {
  EXPECT_EQ(Passing("CAFÉ*", {"café.txt", "CAFÉ.TXT", "cafe.txt"}),
            (Names{"café.txt", "CAFÉ.TXT"}));
  EXPECT_EQ(Passing("ΑΒΓ.txt;привет.*", {"αβγ.TXT", "ПРИВЕТ.doc", "Łódź.txt"}),
            (Names{"αβγ.TXT", "ПРИВЕТ.doc"}));
  EXPECT_EQ(LowerCaseUtf8("ŁÓDŹ ÄÖÜ Ÿ ABC"), "łódź äöü ÿ abc");
}

TEST(WildcardMask, SetsRangesAndNegatedSets) {
  EXPECT_EQ(Passing("[!a]*", {"beta.txt", "alpha.txt", "Alpha.txt", "gamma"}),
            (Names{"beta.txt", "gamma"}));
  EXPECT_EQ(Passing("file[0-9].log", {"file3.log", "filex.log", "file10.log"}),
            (Names{"file3.log"}));
  EXPECT_EQ(Passing("[A-C]*", {"apple", "Banana", "cherry", "date"}),
            (Names{"apple", "Banana", "cherry"}));
  // A "-" at either end of a set is an ordinary member.
  EXPECT_EQ(Passing("x[a-].txt", {"xa.txt", "x-.txt", "xb.txt"}), (Names{"xa.txt", "x-.txt"}));
  EXPECT_EQ(Passing("[-_]*", {"-opt", "_tmp", "name"}), (Names{"-opt", "_tmp"}));
  EXPECT_EQ(Passing("[é]t[!é]", {"été", "Éte", "ètx"}), (Names{"Éte"}));
  // A backslash is an ordinary character, not an escape.
  EXPECT_EQ(Passing("a\\*", {"a\\b", "ab"}), (Names{"a\\b"}));
}

TEST(WildcardMask, StarsBacktrack) {
  EXPECT_EQ(Passing("*a*b*c", {"abc", "aXbYc", "acb", "aabbcc", "abcabc", "ab"}),
            (Names{"abc", "aXbYc", "aabbcc", "abcabc"}));
  EXPECT_EQ(Passing("**x", {"x", "yx", "xy"}), (Names{"x", "yx"}));
  EXPECT_EQ(Passing("a*?", {"a", "ab", "abc"}), (Names{"ab", "abc"}));
}

TEST(WildcardMask, EmptyStringsMatchEverything) {
  TWindowsMaskList none("");
  EXPECT_TRUE(none.Empty());
  EXPECT_TRUE(none.Matches("anything.at.all"));
  TWindowsMaskList separatorsOnly(";;");
  EXPECT_TRUE(separatorsOnly.Empty());
  EXPECT_TRUE(separatorsOnly.Matches("x"));
  // A single empty mask becomes "*".
  EXPECT_TRUE(TWindowsMaskUTF8("").Matches("x.y"));
  // Empty pieces between masks are dropped, not turned into "*".
  EXPECT_EQ(Passing("*.c;;*.h", {"a.c", "a.h", "a.o"}), (Names{"a.c", "a.h"}));
}

TEST(WildcardMask, InvalidMasksReportTextAndOffset) {
  struct Case {
    std::string mask;
    std::string message;
    int32_t offset;
  };
  const Case cases[] = {
      {"[abc", "Missing closing character \"]\" in mask (offset 4).", 4},
      {"*.[ch", "Missing closing character \"]\" in mask (offset 5).", 5},
      {"[!", "Missing closing character \"]\" in mask (offset 2).", 2},
      {"a[]b", "Invalid character \"]\" in mask (offset 3).", 3},
      {"[!]x", "Invalid character \"]\" in mask (offset 3).", 3},
      {std::string("a\0b", 3), "Invalid character \"#0\" in mask (offset 2).", 2},
  };
  for (const auto& c : cases) {
    TWindowsMaskUTF8 mask(c.mask);
    ASSERT_FALSE(mask.Valid()) << c.mask;
    EXPECT_EQ(mask.Error()->message, c.message);
    EXPECT_EQ(mask.Error()->offset, c.offset);
    EXPECT_FALSE(mask.Matches("abc"));
  }
  // The list keeps the first error and then matches nothing.
  TWindowsMaskList list("*.txt;[x;a[]");
  ASSERT_FALSE(list.Valid());
  EXPECT_EQ(list.Error()->mask, "[x");
  EXPECT_FALSE(list.Matches("a.txt"));
}

TEST(WildcardMask, InvalidUtf8NamesStillMatch) {
  std::string latin1 = "caf\xE9.txt";  // not UTF-8: the byte counts as one character
  EXPECT_TRUE(TWindowsMaskUTF8("caf?.txt").Matches(latin1));
  EXPECT_TRUE(TWindowsMaskUTF8("*.txt").Matches(latin1));
  EXPECT_FALSE(TWindowsMaskUTF8("café.txt").Matches(latin1));
}

}  // namespace
}  // namespace quorvid
