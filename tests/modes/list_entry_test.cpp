// The list-line word rules: which lines take part, and the hash, type word,
// file name and algorithm each line gives.
#include <gtest/gtest.h>

#include "modes/check_list.h"
#include "modes/list_entry.h"

namespace quorvid {
namespace {

const std::string k32(32, 'a');
const std::string k64(64, 'b');

TEST(ListWord, SeparatorsRunsAndLeadingSeparators) {
  EXPECT_EQ(ListWord("  ab  cd", 1, " "), "ab");
  EXPECT_EQ(ListWord("  ab  cd", 2, " "), "cd");
  EXPECT_EQ(ListWord("  ab  cd", 3, " "), "");
  EXPECT_EQ(ListWord("h ?SHA1*dir/a b.txt", 2, " *?"), "SHA1");
  EXPECT_EQ(ListWord("h ?SHA1*dir/a b.txt", 2, " ?"), "SHA1*dir/a");
  EXPECT_EQ(ListWord("h ?SHA1*dir/a b.txt", 2, "*"), "dir/a b.txt");
  EXPECT_EQ(ListWord("", 1, " "), "");
  EXPECT_EQ(ListWord("***", 1, "*"), "");
}

TEST(ParseListEntry, LinesWithoutAsteriskAreSkipped) {
  for (const char* line : {"; Generated on 01/02/2025 at 10:00:00 using CodePage 65001", ";", "",
                           "d41d8cd98f00b204e9800998ecf8427e  two-space form.txt"}) {
    EXPECT_FALSE(ParseListEntry(line).IsEntry) << line;
  }
}

TEST(ParseListEntry, MarkerFormsOfGeneratedLists) {
  TListEntryParts p = ParseListEntry(k64 + " ?SHA256*sub/report file.txt");
  EXPECT_TRUE(p.IsEntry);
  EXPECT_EQ(p.HashWord, k64);
  EXPECT_EQ(p.TypeWord, "SHA256");
  EXPECT_EQ(p.FileName, "sub/report file.txt");
  EXPECT_EQ(p.Algorithm, THashChoices::SHA2_256);

  // Every marker word maps back to its algorithm, in any case; the type word
  // stays as written.
  const std::pair<const char*, THashChoices> markers[] = {
      {"SHA1", THashChoices::SHA1},         {"SHA384", THashChoices::SHA2_384},
      {"SHA512", THashChoices::SHA2_512},   {"SHA3_256", THashChoices::SHA3_256},
      {"SHA3_384", THashChoices::SHA3_384}, {"SHA3_512", THashChoices::SHA3_512},
      {"Blake2S", THashChoices::Blake2S},   {"Blake2B", THashChoices::Blake2B},
      {"Blake3", THashChoices::Blake3},     {"XXHash64", THashChoices::XXHash64},
      {"MH3_X86", THashChoices::MurmurHash3_x86}, {"mh3_x64", THashChoices::MurmurHash3_x64}};
  for (const auto& [word, choice] : markers) {
    TListEntryParts q = ParseListEntry("0123 ?" + std::string(word) + "*a.txt");
    EXPECT_EQ(q.Algorithm, choice) << word;
    EXPECT_EQ(q.TypeWord, word);
    EXPECT_EQ(q.FileName, "a.txt");
  }
}

TEST(ParseListEntry, Md5Form) {
  TListEntryParts p = ParseListEntry(k32 + " *a b.txt");
  EXPECT_EQ(p.Algorithm, THashChoices::MD5);
  EXPECT_EQ(p.TypeWord, "MD5");
  EXPECT_EQ(p.HashWord, k32);
  EXPECT_EQ(p.FileName, "a b.txt");
  // The asterisk need not follow the hash directly when the next word starts with it.
  EXPECT_EQ(ParseListEntry(k32 + "   *x.txt").Algorithm, THashChoices::MD5);
  // A 32-digit hash with a marker is not the MD5 form.
  EXPECT_EQ(ParseListEntry(k32 + " ?MH3_X86*x.txt").Algorithm, THashChoices::MurmurHash3_x86);
}

TEST(ParseListEntry, OtherToolsBinaryFormIsReadByTheHashLength) {
  TListEntryParts p = ParseListEntry(k64 + " *my file.txt");
  EXPECT_EQ(p.Algorithm, THashChoices::SHA2_256);
  EXPECT_EQ(p.TypeWord, "SHA256");
  EXPECT_EQ(p.FileName, "my file.txt");
  EXPECT_EQ(ParseListEntry(std::string(40, 'c') + " *f.bin").Algorithm, THashChoices::SHA1);
  EXPECT_EQ(ParseListEntry(std::string(40, 'c') + " *f.bin").TypeWord, "SHA1");
  EXPECT_EQ(ParseListEntry(std::string(96, 'c') + " *f.bin").Algorithm, THashChoices::SHA2_384);
  EXPECT_EQ(ParseListEntry(std::string(128, 'c') + " *SHA3_512 x").TypeWord, "SHA512");
  // A length no such tool writes keeps the word rule: the name's first word
  // is the (unknown) type.
  p = ParseListEntry(std::string(16, 'c') + " *my file.txt");
  EXPECT_EQ(p.Algorithm, THashChoices::SHA2_256);
  EXPECT_EQ(p.TypeWord, "my");
  // A line that names its algorithm is read by that name whatever its length.
  EXPECT_EQ(ParseListEntry(k64 + " ?BLAKE3*f").Algorithm, THashChoices::Blake3);
  EXPECT_EQ(ParseListEntry(std::string(40, 'c') + " ?SHA1*f").TypeWord, "SHA1");
}

TEST(ParseListEntry, OddLinesNeverFail) {
  EXPECT_TRUE(ParseListEntry("*").IsEntry);
  EXPECT_EQ(ParseListEntry("*").FileName, "");
  TListEntryParts comment = ParseListEntry("; a comment with * inside");
  EXPECT_TRUE(comment.IsEntry);
  EXPECT_EQ(comment.FileName, " inside");
  // "NONE" names no hash a list can hold.
  EXPECT_EQ(ParseListEntry("00 ?NONE*a").Algorithm, THashChoices::SHA2_256);
}

TEST(PadRight, CountsCharactersNotBytes) {
  EXPECT_EQ(PadRight("MD5", 8), "MD5     ");
  EXPECT_EQ(PadRight("XXHash64", 8), "XXHash64");
  EXPECT_EQ(PadRight("MH3_X86_LONG", 8), "MH3_X86_LONG");
  EXPECT_EQ(PadRight("ünï", 8), "ünï     ");
}

TEST(CheckSummaryLines, Wording) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(CheckSummaryLines({3, 0, 0}, false), Lines{});
  EXPECT_EQ(CheckSummaryLines({3, 0, 0}, true), (Lines{"", "3 checksums matched"}));
  EXPECT_EQ(CheckSummaryLines({1, 0, 0}, true), (Lines{"", "1 checksum matched"}));
  EXPECT_EQ(CheckSummaryLines({0, 1, 1}, false), (Lines{"", "1 checksum failed", "1 file error"}));
  EXPECT_EQ(CheckSummaryLines({0, 2, 5}, true), (Lines{"", "2 checksums failed", "5 file errors"}));
  EXPECT_EQ(CheckSummaryLines({0, 0, 0}, true), Lines{});
}

}  // namespace
}  // namespace quorvid
