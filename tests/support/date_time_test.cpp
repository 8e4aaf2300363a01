#include "support/date_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "support/date_format.h"
#include "test_support.h"

namespace quorvid {
namespace {

using test::TempDir;
using test::WriteFile;

std::string Stamp(TDateTime value) {
  return FormatDate("yyyy-mm-dd hh:nn:ss.zzz", value).Text;
}

// Sets a file's last-write time to `seconds` after 1970 plus `nanoseconds`.
void SetFileTime(const std::string& path, std::time_t seconds, long nanoseconds = 0) {
  using namespace std::chrono;
  const sys_time<std::chrono::nanoseconds> moment{std::chrono::seconds(seconds) +
                                                  std::chrono::nanoseconds(nanoseconds)};
  std::filesystem::last_write_time(path, file_clock::from_sys(moment));
}

// Puts the process in another time zone for one test.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    test::SetEnv("TZ", zone);
    tzset();
  }
  ~ScopedTimeZone() {
    if (saved_)
      test::SetEnv("TZ", *saved_);
    else
      test::UnsetEnv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> saved_;
};

// 2024-03-07 13:05:37 UTC.
constexpr std::time_t kMarchSeventh = 1709816737;

TEST(DateValue, EncodingMatchesTheDayCount) {
  EXPECT_EQ(*TryEncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(*TryEncodeDate(1899, 12, 31), 1.0);
  EXPECT_EQ(*TryEncodeDate(1899, 12, 29), -1.0);
  EXPECT_EQ(*TryEncodeDate(1970, 1, 1), 25569.0);
  EXPECT_EQ(*TryEncodeDate(2024, 3, 7), 45358.0);
  EXPECT_EQ(*TryEncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(*TryEncodeTime(6, 0, 0, 0), 0.25);
  EXPECT_EQ(*TryEncodeDateTime({1899, 12, 29, 6, 0, 0, 0}), -1.25);
}

TEST(DateValue, ImpossibleDatesAndTimes) {
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29));
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29));
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29));
  EXPECT_FALSE(TryEncodeDate(2024, 4, 31));
  EXPECT_FALSE(TryEncodeDate(2024, 13, 1));
  EXPECT_FALSE(TryEncodeDate(2024, 0, 1));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0));
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0));
  EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000));
  EXPECT_FALSE(TryEncodeDateTime({2024, 2, 30, 0, 0, 0, 0}));
}

TEST(DateValue, DecodeRoundTripsEveryMillisecondField) {
  for (const TDateParts parts : {TDateParts{1, 1, 1, 0, 0, 0, 0}, TDateParts{2024, 2, 29, 23, 59, 59, 999},
                                 TDateParts{1600, 3, 1, 12, 30, 1, 1}, TDateParts{9999, 12, 31, 1, 2, 3, 4}}) {
    const TDateParts back = DecodeDateTime(*TryEncodeDateTime(parts));
    EXPECT_EQ(back.year, parts.year);
    EXPECT_EQ(back.month, parts.month);
    EXPECT_EQ(back.day, parts.day);
    EXPECT_EQ(back.hour, parts.hour);
    EXPECT_EQ(back.minute, parts.minute);
    EXPECT_EQ(back.second, parts.second);
    EXPECT_EQ(back.millisecond, parts.millisecond);
  }
}

TEST(DateValue, DayOfWeek) {
  EXPECT_EQ(DayOfWeek(0.0), 7);                           // Saturday
  EXPECT_EQ(DayOfWeek(*TryEncodeDate(2024, 3, 7)), 5);    // Thursday
  EXPECT_EQ(DayOfWeek(*TryEncodeDate(2023, 12, 31)), 1);  // Sunday
  EXPECT_EQ(DayOfWeek(*TryEncodeDate(1899, 12, 29)), 6);  // Friday
}

TEST(DateValue, NowIsTheLocalClock) {
  const TDateTime before = UnixTimeToDateTime(std::time(nullptr)).value();
  const TDateTime now = Now();
  const TDateTime after = UnixTimeToDateTime(std::time(nullptr) + 1).value();
  EXPECT_LE(before, now);
  EXPECT_LE(now, after);
}

TEST(DateValue, NowFollowsTheTimeZone) {
  if (test::OnWindows()) GTEST_SKIP() << "Windows takes the time zone from its settings, not TZ";
  ScopedTimeZone utc("UTC0");
  const TDateTime utcNow = Now();
  ScopedTimeZone zone("XST-05:30");
  const double hours = (Now() - utcNow) * 24.0;
  EXPECT_NEAR(hours, 5.5, 0.01);
}

TEST(FileDate, LastWriteTimeInWholeSeconds) {
  ScopedTimeZone utc("UTC0");
  TempDir dir;
  const std::string file = dir / "a.txt";
  WriteFile(file, "x");
  // 13:05:37 stays 13:05:37 (no 2-second steps), and a fraction is dropped.
  SetFileTime(file, kMarchSeventh, 900000000);
  ASSERT_TRUE(FileAge(file).has_value());
  EXPECT_EQ(*FileAge(file), kMarchSeventh);
  const auto date = FileDate(file);
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(Stamp(*date), "2024-03-07 13:05:37.000");
  EXPECT_EQ(*date, *TryEncodeDateTime({2024, 3, 7, 13, 5, 37, 0}));
}

TEST(FileDate, FilesFrom1970AndBeforeHaveDates) {
  ScopedTimeZone utc("UTC0");
  TempDir dir;
  const std::string file = dir / "old.txt";
  WriteFile(file, "x");
  SetFileTime(file, 0);
  EXPECT_EQ(Stamp(FileDate(file).value()), "1970-01-01 00:00:00.000");
  SetFileTime(file, -86400 * 365);
  EXPECT_EQ(Stamp(FileDate(file).value()), "1969-01-01 00:00:00.000");
  SetFileTime(file, 7258118400);  // past 2107
  EXPECT_EQ(Stamp(FileDate(file).value()), "2200-01-01 00:00:00.000");
}

TEST(FileDate, ShownInTheLocalTimeZone) {
  if (test::OnWindows()) GTEST_SKIP() << "Windows takes the time zone from its settings, not TZ";
  ScopedTimeZone utc("UTC0");
  TempDir dir;
  const std::string file = dir / "zone.txt";
  WriteFile(file, "x");
  SetFileTime(file, kMarchSeventh);
  {
    ScopedTimeZone zone("XST-05:30");
    EXPECT_EQ(Stamp(FileDate(file).value()), "2024-03-07 18:35:37.000");
  }
  {
    // Eastern time with its daylight-saving rule: 7 March is still winter,
    // 1 July is summer.
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(Stamp(FileDate(file).value()), "2024-03-07 08:05:37.000");
    SetFileTime(file, 1719835200);  // 2024-07-01 12:00:00 UTC
    EXPECT_EQ(Stamp(FileDate(file).value()), "2024-07-01 08:00:00.000");
  }
  EXPECT_EQ(Stamp(FileDate(file).value()), "2024-07-01 12:00:00.000");
}

TEST(FileDate, MissingNamesAndFoldersHaveNoDate) {
  TempDir dir;
  EXPECT_FALSE(FileAge(dir / "missing.txt").has_value());
  EXPECT_FALSE(FileDate(dir / "missing.txt").has_value());
  EXPECT_FALSE(FileAge(dir.path()).has_value());
  EXPECT_FALSE(FileDate(dir.path()).has_value());
  EXPECT_FALSE(FileDate("").has_value());
}

TEST(FileDate, DatesPastYear9999AreUnreadable) {
  ScopedTimeZone utc("UTC0");
  EXPECT_FALSE(UnixTimeToDateTime(253402300800LL).has_value());  // 10000-01-01
  EXPECT_TRUE(UnixTimeToDateTime(253402300799LL).has_value());
}

TEST(Clock, LocalTimeConversionsRoundTrip) {
  if (test::OnWindows()) GTEST_SKIP() << "Windows takes the time zone from its settings, not TZ";
  ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
  const auto local = platform::ToLocalTime(kMarchSeventh);
  ASSERT_TRUE(local.has_value());
  EXPECT_EQ(local->hour, 8);
  EXPECT_EQ(platform::FromLocalTime(*local), kMarchSeventh);
  EXPECT_EQ(platform::FromLocalTime({1969, 12, 31, 18, 59, 59, 0}), -1);
}

}  // namespace
}  // namespace quorvid
