#include "modes/date_filter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>

#include "output/run_stop.h"
#include "platform/clock.h"
#include "support/date_format.h"
#include "support/date_time.h"
#include "test_support.h"

namespace quorvid {
namespace {

// The exit code a call stops the run with (-1: it did not stop), and what it
// wrote on standard error meanwhile.
template <typename Call>
std::pair<int, std::string> StopOf(Call call) {
  try {
    call();
  } catch (const TRunStop& stop) {
    return {stop.exitCode, stop.message};
  }
  return {-1, ""};
}


using test::TempDir;
using test::WriteFile;

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  const auto value = TryEncodeDateTime({y, mo, d, h, mi, s, 0});
  EXPECT_TRUE(value.has_value());
  return value.value_or(0.0);
}

std::string Stamp(TDateTime value) { return FormatDate("yyyy-mm-dd hh:nn:ss", value).Text; }

// Sets the file's last-write time to a local date value (whole seconds).
void SetFileDate(const std::string& path, TDateTime value) {
  const TDateParts p = DecodeDateTime(value);
  const auto t = platform::FromLocalTime(p);
  ASSERT_TRUE(t.has_value());
  using namespace std::chrono;
  std::filesystem::last_write_time(
      path, file_clock::from_sys(sys_time<seconds>(seconds(static_cast<long long>(*t)))));
}

void Give(TFindParamRec& option, const std::string& value = "") {
  option.Found = true;
  option.Value1 = value;
}

class DateFilterTest : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

  // A file in the scratch folder written at `value`.
  std::string FileAt(const std::string& name, TDateTime value) {
    const std::string path = dir_ / name;
    WriteFile(path, "x");
    SetFileDate(path, value);
    return path;
  }

  TempDir dir_;
  RunSettings settings_;
};

const double kLastSecond = 86399.0 / 86400.0;

// ---- Date display texts --------------------------------------------------

TEST_F(DateFilterTest, DisplayTextsWithoutDateFormat) {
  SetUpDateDisplay(settings_);
  EXPECT_EQ(settings_.DateTimeFormat, "mm/dd/yyyy hh:nn AM/PM");
  EXPECT_EQ(settings_.DateStampFormat, "yyyy.mm.dd-hh:nn");
  EXPECT_EQ(settings_.ZeroDateText, "1899.12.30-00:00");
  EXPECT_EQ(settings_.DateRuler, " ----------------");
  EXPECT_EQ(settings_.ExitCode, 0);
}

TEST_F(DateFilterTest, EmptyDateFormatUsesTheLocaleShortDate) {
  Give(settings_.DateFormat, "");
  settings_.LocaleDateTimeFormat = "dd.mm.yyyy hh:nn AM/PM";
  SetUpDateDisplay(settings_);
  EXPECT_EQ(settings_.DateTimeFormat, "dd.mm.yyyy hh:nn AM/PM");
  EXPECT_EQ(settings_.DateStampFormat, "yyyy.mm.dd-hh:nn");
  EXPECT_EQ(settings_.ZeroDateText, "1899.12.30-00:00");
  EXPECT_EQ(settings_.DateRuler, " ----------------");

  // Not recorded yet: taken from the locale (the C locale's %m/%d/%y here).
  if (test::OnWindows()) GTEST_SKIP() << "Windows takes the short date from its regional settings, not LC_ALL";
  RunSettings fresh;
  Give(fresh.DateFormat, "");
  SetUpDateDisplay(fresh);
  EXPECT_EQ(fresh.DateTimeFormat, "mm/dd/yy hh:nn AM/PM");
}

TEST_F(DateFilterTest, DateFormatPatternSetsBothColumnsAndTheRuler) {
  Give(settings_.DateFormat, "yyyy");
  SetUpDateDisplay(settings_);
  EXPECT_EQ(settings_.DateTimeFormat, "yyyy");
  EXPECT_EQ(settings_.DateStampFormat, "yyyy");
  EXPECT_EQ(settings_.ZeroDateText, "1899");
  EXPECT_EQ(settings_.DateRuler, " ----");
  EXPECT_EQ(settings_.ExitCode, 0);

  RunSettings named;
  Give(named.DateFormat, "dddd d mmmm yyyy 'at' h:nn");
  SetUpDateDisplay(named);
  EXPECT_EQ(named.ZeroDateText, "Saturday 30 December 1899 at 0:00");
  EXPECT_EQ(named.DateRuler, " " + std::string(33, '-'));

  // The ruler counts characters, not bytes.
  RunSettings accented;
  Give(accented.DateFormat, "dd '\xC3\xA9t\xC3\xA9'");
  SetUpDateDisplay(accented);
  EXPECT_EQ(accented.ZeroDateText, "30 \xC3\xA9t\xC3\xA9");
  EXPECT_EQ(accented.DateRuler, " ------");
}

TEST_F(DateFilterTest, BadDateFormatFallsBackWithExitCode129) {
  Give(settings_.DateFormat, "yyyy at hh");
  SetUpDateDisplay(settings_);
  EXPECT_EQ(settings_.DateTimeFormat, "yyyy at hh");
  EXPECT_EQ(settings_.DateStampFormat, "yyyy at hh");
  EXPECT_EQ(settings_.ZeroDateText, "1899.12.30-00:00");
  EXPECT_EQ(settings_.DateRuler, " ----------------");
  EXPECT_EQ(settings_.ExitCode, 129);
}

TEST_F(DateFilterTest, BadDateFormatWithExitOnBadDateStopsWith78) {
  Give(settings_.DateFormat, "yyyy at hh");
  Give(settings_.ExitOnBadDate);
  {
    const auto [code, err] = StopOf([&] { SetUpDateDisplay(settings_); });
    EXPECT_EQ(code, 78);
    EXPECT_NE(err.find("ERROR: An invalid date format was provided! \"yyyy at hh\""), std::string::npos) << err;
  }
}

// ---- File dates and typed dates as text ----------------------------------

TEST_F(DateFilterTest, FileDateInBothColumns) {
  const std::string file = FileAt("a.txt", At(2024, 3, 7, 13, 5, 37));
  SetUpDateDisplay(settings_);
  EXPECT_EQ(FileDateString(settings_, file, settings_.DateTimeFormat, "mm/dd/yyyy hh:nn AM/PM", true),
            "\"03/07/2024 01:05 PM\"");
  EXPECT_EQ(FileDateString(settings_, file, settings_.DateStampFormat, "yyyy.mm.dd-hh:nn", false),
            "2024.03.07-13:05");
  EXPECT_EQ(FileDateString(settings_, file, "hh:nn:ss", "yyyy", false), "13:05:37");
  EXPECT_EQ(settings_.ExitCode, 0);
}

TEST_F(DateFilterTest, UnreadableFileDateShowsTheBaseDayWith129) {
  settings_.ExitCode = 1;  // replaced, not combined
  EXPECT_EQ(FileDateString(settings_, dir_ / "missing", "mm/dd/yyyy hh:nn AM/PM", "yyyy", true),
            "\"12/30/1899 12:00 AM\"");
  EXPECT_EQ(settings_.ExitCode, 129);
  settings_.ExitCode = 0;
  EXPECT_EQ(FileDateString(settings_, dir_.path(), "yyyy.mm.dd-hh:nn", "yyyy", false),
            "1899.12.30-00:00");
  EXPECT_EQ(settings_.ExitCode, 129);
}

TEST_F(DateFilterTest, BadPatternUsesTheFallbackWith129) {
  const std::string file = FileAt("a.txt", At(2024, 3, 7, 13, 5, 37));
  EXPECT_EQ(FileDateString(settings_, file, "a yyyy", "yyyy.mm.dd-hh:nn", false), "2024.03.07-13:05");
  EXPECT_EQ(settings_.ExitCode, 129);
  settings_.ExitCode = 0;
  EXPECT_EQ(FileDateString(settings_, dir_ / "missing", "a", "yyyy", true), "\"1899\"");
  EXPECT_EQ(settings_.ExitCode, 129);
}

TEST_F(DateFilterTest, ExitOnBadDateStopsForAnUnreadableFileDate) {
  Give(settings_.ExitOnBadDate);
  const std::string missing = "/nonexistent-quorvid-dir/missing.txt";
  {
    const auto [code, err] = StopOf([&] { FileDateString(settings_, missing, "yyyy", "yyyy", false); });
    EXPECT_EQ(code, 78);
    EXPECT_NE(err.find("ERROR: Could not access the date/time of the file! \"" + missing + "\""), std::string::npos) << err;
  }
}

TEST_F(DateFilterTest, ExitOnBadDateStopsForABadPattern) {
  Give(settings_.ExitOnBadDate);
  const std::string file = FileAt("a.txt", At(2024, 3, 7));
  {
    const auto [code, err] = StopOf([&] { FileDateString(settings_, file, "dd a", "yyyy", false); });
    EXPECT_EQ(code, 78);
    EXPECT_NE(err.find("ERROR: An invalid date format was provided! \"dd a\""), std::string::npos) << err;
  }
  {
    const auto [code, err] = StopOf([&] { DateString(settings_, "12/30/1899", "dd a", "yyyy", false); });
    EXPECT_EQ(code, 78);
    EXPECT_NE(err.find("ERROR: An invalid date format was provided!"), std::string::npos) << err;
  }
}

TEST_F(DateFilterTest, TypedDates) {
  EXPECT_EQ(DateString(settings_, "03/07/2024", "dd mmm yyyy", "yyyy", true), "\"07 Mar 2024\"");
  EXPECT_EQ(DateString(settings_, "12/30/1899", "yyyy.mm.dd-hh:nn", "yyyy", false),
            "1899.12.30-00:00");
  EXPECT_EQ(settings_.ExitCode, 0);
  EXPECT_EQ(DateString(settings_, "13/45/2020", "yyyy.mm.dd", "yyyy", false), "1899.12.30");
  EXPECT_EQ(settings_.ExitCode, 129);
  settings_.ExitCode = 0;
  EXPECT_EQ(DateString(settings_, "03/07/2024", "a", "yyyy.mm.dd", false), "2024.03.07");
  EXPECT_EQ(settings_.ExitCode, 129);
}

TEST_F(DateFilterTest, ExitOnBadDateStopsForABadTypedDateWith128) {
  Give(settings_.ExitOnBadDate);
  {
    const auto [code, err] = StopOf([&] { DateString(settings_, "13/45/2020", "yyyy", "yyyy", false); });
    EXPECT_EQ(code, 128);
    EXPECT_NE(err.find("ERROR: An invalid date conversion was attempted! \"13/45/2020\""), std::string::npos) << err;
  }
}

// ---- Filter bounds -------------------------------------------------------

TEST_F(DateFilterTest, NoFilterOptions) {
  SetUpDateFilter(settings_);
  EXPECT_FALSE(settings_.DateFilterActive);
  EXPECT_EQ(settings_.ExitCode, 0);
}

TEST_F(DateFilterTest, BeforeDateKeepsFilesBeforeTheStartOfThatDay) {
  Give(settings_.BeforeThisDate, "01/01/2021");
  SetUpDateFilter(settings_);
  EXPECT_TRUE(settings_.DateFilterActive);
  EXPECT_EQ(Stamp(settings_.BeforeDate), "2021-01-01 00:00:00");
  EXPECT_EQ(settings_.AfterDate, 0.0);
  EXPECT_TRUE(InDateRange(settings_, FileAt("old", At(2020, 12, 31, 23, 0))));
  EXPECT_TRUE(InDateRange(settings_, FileAt("edge", At(2021, 1, 1, 0, 0, 0))));
  EXPECT_FALSE(InDateRange(settings_, FileAt("new", At(2021, 1, 1, 10, 0))));
  // A file without a date counts as 1899-12-30.
  EXPECT_TRUE(InDateRange(settings_, dir_ / "missing"));
}

TEST_F(DateFilterTest, AfterBeforeWindow) {
  Give(settings_.AfterThisDate, "01/01/2018");
  Give(settings_.BeforeThisDate, "01/01/2020");
  SetUpDateFilter(settings_);
  EXPECT_FALSE(InDateRange(settings_, FileAt("a", At(2017, 12, 31, 23, 59, 59))));
  EXPECT_TRUE(InDateRange(settings_, FileAt("b", At(2018, 1, 1))));
  EXPECT_TRUE(InDateRange(settings_, FileAt("c", At(2019, 6, 1, 12, 0))));
  EXPECT_TRUE(InDateRange(settings_, FileAt("d", At(2020, 1, 1))));
  EXPECT_FALSE(InDateRange(settings_, FileAt("e", At(2020, 1, 1, 0, 0, 1))));
  EXPECT_FALSE(InDateRange(settings_, dir_ / "missing"));
}

TEST_F(DateFilterTest, BeforeAfterGap) {
  Give(settings_.BeforeThisDate, "01/01/2018");
  Give(settings_.AfterThisDate, "01/01/2020");
  SetUpDateFilter(settings_);
  EXPECT_TRUE(InDateRange(settings_, FileAt("a", At(2017, 12, 31, 23, 59, 59))));
  EXPECT_FALSE(InDateRange(settings_, FileAt("b", At(2018, 1, 1))));
  EXPECT_FALSE(InDateRange(settings_, FileAt("c", At(2019, 6, 1))));
  EXPECT_FALSE(InDateRange(settings_, FileAt("d", At(2020, 1, 1))));
  EXPECT_TRUE(InDateRange(settings_, FileAt("e", At(2020, 1, 1, 0, 0, 1))));
  EXPECT_TRUE(InDateRange(settings_, dir_ / "missing"));
}

TEST_F(DateFilterTest, TimeAloneBoundIsToday) {
  Give(settings_.BeforeThisDate, "10:30");
  Give(settings_.AfterThisDate, "08:00");
  const double today = std::floor(Now());
  SetUpDateFilter(settings_);
  EXPECT_EQ(Stamp(settings_.BeforeDate), Stamp(today + 10.5 / 24));
  EXPECT_EQ(Stamp(settings_.AfterDate), Stamp(today + 8.0 / 24));
}

TEST_F(DateFilterTest, UnreadableBoundsFallBackSilently) {
  Give(settings_.BeforeThisDate, "13/45/2020");
  const double now = Now();
  SetUpDateFilter(settings_);
  EXPECT_EQ(settings_.ExitCode, 0);
  EXPECT_EQ(settings_.BadDateText, "13/45/2020");
  EXPECT_NEAR(settings_.BeforeDate, now + 366, 0.01);
  EXPECT_EQ(settings_.AfterDate, 0.0);
  // As if --bd were absent: every dated file passes.
  EXPECT_TRUE(InDateRange(settings_, FileAt("new", Now())));

  RunSettings after;
  Give(after.AfterThisDate, "yesterday");
  Give(after.BeforeThisDate, "01/01/2020");
  SetUpDateFilter(after);
  EXPECT_EQ(after.AfterDate, 0.0);
  EXPECT_EQ(Stamp(after.BeforeDate), "2020-01-01 00:00:00");
  EXPECT_EQ(after.BadDateText, "yesterday");
}

TEST_F(DateFilterTest, UnreadableBoundWithExitOnBadDateEndsTheRunWith78) {
  Give(settings_.BeforeThisDate, "13/45/2020");
  Give(settings_.ExitOnBadDate);
  const auto [code, err] = StopOf([&] { SetUpDateFilter(settings_); });
  EXPECT_EQ(code, 78);
  EXPECT_EQ(settings_.HelpSections, help_section::Directory);
  EXPECT_NE(err.find("ERROR: An invalid date conversion was attempted! \"13/45/2020\""),
            std::string::npos)
      << err;

  // The --ad value is reported too, even when --bd is good.
  RunSettings after;
  Give(after.BeforeThisDate, "01/01/2020");
  Give(after.AfterThisDate, "1/1/2020/5");
  Give(after.ExitOnBadDate);
  const auto [afterCode, afterErr] = StopOf([&] { SetUpDateFilter(after); });
  EXPECT_NE(afterErr.find("attempted! \"1/1/2020/5\""), std::string::npos);
  EXPECT_EQ(afterCode, 78);

  // An empty value is no date either.
  RunSettings empty;
  Give(empty.BeforeThisDate, "");
  Give(empty.ExitOnBadDate);
  EXPECT_EQ(StopOf([&] { SetUpDateFilter(empty); }).first, 78);
}

TEST_F(DateFilterTest, OlderAndNewerWindow) {
  Give(settings_.OlderThan, "100");
  Give(settings_.NewerThan, "200");
  settings_.OlderThanDays = 100;
  settings_.NewerThanDays = 200;
  const double today = std::floor(Now());
  SetUpDateFilter(settings_);
  EXPECT_TRUE(settings_.DateFilterActive);
  EXPECT_EQ(Stamp(settings_.BeforeDate), Stamp(today - 100 + kLastSecond));
  EXPECT_EQ(Stamp(settings_.AfterDate), Stamp(today - 200));
  EXPECT_TRUE(InDateRange(settings_, FileAt("a", today - 100 + kLastSecond)));
  EXPECT_FALSE(InDateRange(settings_, FileAt("b", today - 99)));
  EXPECT_TRUE(InDateRange(settings_, FileAt("c", today - 150 + 0.5)));
  EXPECT_TRUE(InDateRange(settings_, FileAt("d", today - 200)));
  EXPECT_FALSE(InDateRange(settings_, FileAt("e", today - 201 + kLastSecond)));
}

TEST_F(DateFilterTest, OlderAndNewerGap) {
  Give(settings_.OlderThan, "200");
  Give(settings_.NewerThan, "100");
  settings_.OlderThanDays = 200;
  settings_.NewerThanDays = 100;
  const double today = std::floor(Now());
  SetUpDateFilter(settings_);
  EXPECT_TRUE(InDateRange(settings_, FileAt("a", today - 250)));
  EXPECT_TRUE(InDateRange(settings_, FileAt("b", today - 200)));
  // Outside a gap the bounds themselves are left out.
  EXPECT_FALSE(InDateRange(settings_, FileAt("c", today - 200 + kLastSecond)));
  EXPECT_FALSE(InDateRange(settings_, FileAt("d", today - 150)));
  EXPECT_FALSE(InDateRange(settings_, FileAt("e", today - 100)));
  EXPECT_TRUE(InDateRange(settings_, FileAt("f", today - 100 + 1.0 / 86400)));
  EXPECT_TRUE(InDateRange(settings_, FileAt("g", today - 50)));
}

TEST_F(DateFilterTest, NewerZeroKeepsToday) {
  Give(settings_.NewerThan, "0");
  const double today = std::floor(Now());
  SetUpDateFilter(settings_);
  EXPECT_EQ(settings_.AfterDate, today);
  EXPECT_NEAR(settings_.BeforeDate, Now() + 366, 0.01);
  EXPECT_TRUE(InDateRange(settings_, FileAt("a", today)));
  EXPECT_TRUE(InDateRange(settings_, FileAt("b", today + 1)));  // a clock running ahead
  EXPECT_FALSE(InDateRange(settings_, FileAt("c", today - 1 + kLastSecond)));
}

TEST_F(DateFilterTest, OlderZeroKeepsUpToTheEndOfToday) {
  Give(settings_.OlderThan, "0");
  const double today = std::floor(Now());
  SetUpDateFilter(settings_);
  EXPECT_EQ(settings_.AfterDate, 0.0);
  EXPECT_TRUE(InDateRange(settings_, FileAt("a", today + kLastSecond)));
  EXPECT_TRUE(InDateRange(settings_, FileAt("b", today - 3000)));
  EXPECT_FALSE(InDateRange(settings_, FileAt("c", today + 1)));
  // A file without a date counts as 1899-12-30, which is older.
  EXPECT_TRUE(InDateRange(settings_, dir_ / "missing"));
}

}  // namespace
}  // namespace quorvid
