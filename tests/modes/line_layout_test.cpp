// The line layout set-up and the file lines, in-process.
#include <gtest/gtest.h>
#include <utime.h>

#include <cstdlib>
#include <ctime>

#include "cli/algorithm_selection.h"
#include "modes/line_layout.h"
#include "modes/run_output.h"
#include "test_support.h"

namespace quorvid {
namespace {

RunSettings SettingsWith(std::initializer_list<THashChoices> choices) {
  RunSettings settings;
  for (THashChoices c : choices) settings.HashOption[static_cast<int>(c)].Found = true;
  return settings;
}

TEST(SetUpLineLayout, FsumLabelsAndNoPrefix) {
  RunSettings settings = SettingsWith({THashChoices::MD5, THashChoices::SHA2_256});
  settings.FSum.Found = true;
  SelectAlgorithms(settings);
  SetUpLineLayout(settings);
  EXPECT_EQ(settings.PrefixColumnWidth, 0);
  EXPECT_EQ(settings.AlgorithmTable[1].LineLabel, " *");
  EXPECT_EQ(settings.AlgorithmTable[3].LineLabel, " ?SHA256*");
  EXPECT_EQ(settings.AlgorithmTable[3].Prefix, "");
  EXPECT_TRUE(settings.ShowSeparator);
}

TEST(SetUpLineLayout, SimpleWithdrawsBannerAndSeparatorAndPrefixReturns) {
  RunSettings settings = SettingsWith({THashChoices::MD5, THashChoices::SHA1});
  settings.Simple.Found = true;
  settings.Banner.Found = true;
  settings.Prefix.Found = true;
  SelectAlgorithms(settings);
  SetUpLineLayout(settings);
  EXPECT_FALSE(settings.Banner.Found);
  EXPECT_FALSE(settings.ShowSeparator);
  EXPECT_EQ(settings.TextLabel, " ");
  EXPECT_EQ(settings.AlgorithmTable[1].LineLabel, " ");
  EXPECT_EQ(settings.PrefixColumnWidth, 6);
  EXPECT_EQ(settings.AlgorithmTable[1].Prefix, "MD5: ");
  EXPECT_EQ(PrefixColumn(settings, settings.AlgorithmTable[1]), " MD5: ");
}

TEST(SetUpLineLayout, JustHashEmptiesTheLabels) {
  RunSettings settings = SettingsWith({THashChoices::Blake3});
  settings.JustHash.Found = true;
  SelectAlgorithms(settings);
  SetUpLineLayout(settings);
  EXPECT_EQ(settings.TextLabel, "");
  EXPECT_EQ(settings.AlgorithmTable[11].LineLabel, "");
}

TEST(SizeColumnText, TwelveWideAndWiderForHugeSizes) {
  EXPECT_EQ(SizeColumnText(1024), "{        1024} ");
  EXPECT_EQ(SizeColumnText(0), "{           0} ");
  EXPECT_EQ(SizeColumnText(1234567890123456LL), "{1234567890123456} ");
}

// Directory mode writes --nohash lines with the None record.
TEST(WriteFileLines, NoHashShowsTheQuotedDateInTheHashColumn) {
  test::SetEnv("TZ", "UTC");
  tzset();
  test::TempDir dir;
  test::WriteFile(dir / "f.txt", "x");
  utimbuf times{1709816700, 1709816700};  // 2024-03-07 13:05:00 UTC
  utime((dir / "f.txt").c_str(), &times);

  RunSettings settings = SettingsWith({THashChoices::None});
  settings.ShowDate.Found = true;  // ignored without a real hash
  SelectAlgorithms(settings);
  SetUpLineLayout(settings);
  ASSERT_EQ(settings.MaxHashLength, 21);
  settings.DateTimeFormat = "mm/dd/yyyy hh:nn AM/PM";
  OutputChannels output(106);
  settings.Output = &output;
  OpenOutputFile(settings, dir / "out.txt", 102, 106, "(-o|--out)");
  const THashAlgorithmRec& rec = settings.AlgorithmTable[0];
  WriteFileLines(settings, TGeneratedHashes{}, dir / "f.txt", "f.txt", false, "");
  output.CloseResult();
  EXPECT_EQ(test::ReadFile(dir / "out.txt"),
            "\"03/07/2024 01:05 PM\"" + rec.LineLabel + "f.txt" + test::LineEnd());
}

}  // namespace
}  // namespace quorvid
