#include "support/date_parse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/date_format.h"

namespace quorvid {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  const auto value = TryEncodeDateTime({y, mo, d, h, mi, s, ms});
  EXPECT_TRUE(value.has_value());
  return value.value_or(0.0);
}

// A fixed clock: 15 June 2025, 08:30.
const TDateTime kNow = At(2025, 6, 15, 8, 30);

std::string Stamp(TDateTime value) {
  return FormatDate("yyyy-mm-dd hh:nn:ss.zzz", value).Text;
}

std::string Parse(const std::string& text) {
  const TDateValue result = ParseDateTime(text, ProcessFormatSettings(), kNow);
  return result.Ok ? Stamp(result.Value) : "error: " + result.Error;
}

std::string ParseD(const std::string& text, const std::string& pattern = "mm/dd/yyyy") {
  const TDateValue result = ParseDate(text, pattern, ProcessFormatSettings(), kNow);
  return result.Ok ? Stamp(result.Value) : "error: " + result.Error;
}

TEST(ParseDateTime, DatesWithThreeTwoAndOneNumbers) {
  EXPECT_EQ(Parse("03/07/2024"), "2024-03-07 00:00:00.000");
  EXPECT_EQ(Parse("3/7/2024"), "2024-03-07 00:00:00.000");
  EXPECT_EQ(Parse("02/29/2024"), "2024-02-29 00:00:00.000");
  EXPECT_EQ(Parse("12/30/1899"), "1899-12-30 00:00:00.000");
  EXPECT_EQ(Parse("5/6"), "2025-05-06 00:00:00.000");    // this year
  EXPECT_EQ(Parse("15"), "2025-06-15 00:00:00.000");     // this month
  EXPECT_EQ(Parse("03/07/2024   "), "2024-03-07 00:00:00.000");
}

TEST(ParseDateTime, TwoDigitYearsUseTheCenturyWindow) {
  // With the clock in 2025 the window runs from 1975 to 2074.
  EXPECT_EQ(Parse("2/3/24"), "2024-02-03 00:00:00.000");
  EXPECT_EQ(Parse("1/1/74"), "2074-01-01 00:00:00.000");
  EXPECT_EQ(Parse("1/1/75"), "1975-01-01 00:00:00.000");
  EXPECT_EQ(Parse("1/1/99"), "1999-01-01 00:00:00.000");
  EXPECT_EQ(Parse("1/1/0"), "2000-01-01 00:00:00.000");
  // Three digits are a year as written.
  EXPECT_EQ(Parse("1/1/024"), "0024-01-01 00:00:00.000");
  // A clock in 2080 moves the window.
  const TDateValue later = ParseDateTime("1/1/24", ProcessFormatSettings(), At(2080, 1, 1));
  ASSERT_TRUE(later.Ok);
  EXPECT_EQ(Stamp(later.Value), "2124-01-01 00:00:00.000");
}

TEST(ParseDateTime, ImpossibleOrMalformedDates) {
  EXPECT_EQ(Parse("13/01/2020"), "error: 2020-13-1 is not a valid date");
  EXPECT_EQ(Parse("02/30/2020"), "error: 2020-2-30 is not a valid date");
  EXPECT_EQ(Parse("02/29/2021"), "error: 2021-2-29 is not a valid date");
  EXPECT_EQ(Parse("0/1/2020").substr(0, 6), "error:");
  EXPECT_EQ(Parse("1/1/0000").substr(0, 6), "error:");
  EXPECT_EQ(Parse("1/1/10000").substr(0, 6), "error:");
  for (const std::string bad : {"", " ", "1/2/3/4", "01-02-2020", "1//2020", "/1/2020", "1/2/",
                                "a", "1/2/2020x", "1 /2/2020", "99999999999/1/2020", "Jan 5"}) {
    EXPECT_EQ(Parse(bad), "error: \"" + bad + "\" is not a valid date format") << bad;
  }
}

TEST(ParseDateTime, TimesAloneAndAfterADate) {
  EXPECT_EQ(Parse("10:30"), "1899-12-30 10:30:00.000");
  EXPECT_EQ(Parse("10:30:15"), "1899-12-30 10:30:15.000");
  EXPECT_EQ(Parse("10:30:15.5"), "1899-12-30 10:30:15.005");
  EXPECT_EQ(Parse("03/07/2024 13:05"), "2024-03-07 13:05:00.000");
  EXPECT_EQ(Parse("03/07/2024  13:05:09.250"), "2024-03-07 13:05:09.250");
  EXPECT_EQ(Parse("03/07/2024 1:05 PM"), "2024-03-07 13:05:00.000");
  EXPECT_EQ(Parse("03/07/2024 1:05pm"), "2024-03-07 13:05:00.000");
  EXPECT_EQ(Parse("03/07/2024 12:00 AM"), "2024-03-07 00:00:00.000");
  EXPECT_EQ(Parse("03/07/2024 12:00 PM"), "2024-03-07 12:00:00.000");
  EXPECT_EQ(Parse("23:59:59 "), "1899-12-30 23:59:59.000");
}

TEST(ParseDateTime, InvalidTimes) {
  EXPECT_EQ(Parse("24:00"), "error: 24:0:0.0 is not a valid time");
  EXPECT_EQ(Parse("10:60"), "error: 10:60:0.0 is not a valid time");
  EXPECT_EQ(Parse("10:30:15.1000"), "error: 10:30:15.1000 is not a valid time");
  for (const std::string bad : {"13:00 PM", "0:30 AM", "10:", "10:30:", "10:30 XM", "10:30:15.",
                                "03/07/2024 10:30 extra", ":30"}) {
    EXPECT_EQ(Parse(bad).substr(0, 6), "error:") << bad;
  }
  // A bad date part fails even with a good time.
  EXPECT_EQ(Parse("13/07/2024 10:30").substr(0, 6), "error:");
}

TEST(ParseDateTime, DayOrderFollowsTheShortDatePattern) {
  TFormatSettings settings = ProcessFormatSettings();
  settings.ShortDateFormat = "dd/mm/yyyy";
  EXPECT_EQ(Stamp(ParseDateTime("3/7/2024", settings, kNow).Value), "2024-07-03 00:00:00.000");
  EXPECT_EQ(Stamp(ParseDateTime("3/7", settings, kNow).Value), "2025-07-03 00:00:00.000");
  settings.ShortDateFormat = "yyyy-mm-dd";
  settings.DateSeparator = '-';
  EXPECT_EQ(Stamp(ParseDateTime("2024-3-7", settings, kNow).Value), "2024-03-07 00:00:00.000");
  EXPECT_EQ(Stamp(ParseDateTime("24-3-7", settings, kNow).Value), "2024-03-07 00:00:00.000");
}

TEST(ParseDate, MillisecondsAreFilledToThreeDigits) {
  EXPECT_EQ(ParseD("03/07/2024 10:30:15.5"), "2024-03-07 10:30:15.500");
  EXPECT_EQ(ParseD("03/07/2024 10:30:15.05"), "2024-03-07 10:30:15.050");
  EXPECT_EQ(ParseD("03/07/2024 10:30:15.123"), "2024-03-07 10:30:15.123");
  EXPECT_EQ(ParseD("03/07/2024 10:30:15."), "2024-03-07 10:30:15.000");
}

TEST(ParseDate, DatesKeepTheirOwnDay) {
  EXPECT_EQ(ParseD("2/3/24"), "2024-02-03 00:00:00.000");
  EXPECT_EQ(ParseD("01/01/2021", "mm/dd/yyyy 23:59:59"), "2021-01-01 00:00:00.000");
  EXPECT_EQ(ParseD("01/01/2021", "mm/dd/yyyy 00:00:00"), "2021-01-01 00:00:00.000");
  EXPECT_EQ(ParseD("12/30/1899"), "1899-12-30 00:00:00.000");
  EXPECT_EQ(ParseD("12/30/1899 10:00"), "1899-12-30 10:00:00.000");
  EXPECT_EQ(ParseD("13/01/2020").substr(0, 6), "error:");
  EXPECT_EQ(ParseD("13/45/2020").substr(0, 6), "error:");
}

TEST(ParseDate, ATimeAloneIsThatTimeToday) {
  EXPECT_EQ(ParseD("10:30"), "2025-06-15 10:30:00.000");
  EXPECT_EQ(ParseD("0:00"), "2025-06-15 00:00:00.000");
  EXPECT_EQ(ParseD("10:30", "mm/dd/yyyy 23:59:59"), "2025-06-15 10:30:00.000");
  EXPECT_EQ(ParseD("10:30:15.5", "mm/dd/yyyy 00:00:00"), "2025-06-15 10:30:15.500");
  // The caller's pattern names the day.
  EXPECT_EQ(ParseD("10:30", "'01/02/2003'"), "2003-01-02 10:30:00.000");
  EXPECT_EQ(ParseD("10:30", "yyyy").substr(0, 6), "error:");
  EXPECT_EQ(ParseD("10:30", "dd at").substr(0, 6), "error:");
}

TEST(ParseDate, UsesTheLocalClock) {
  const TDateTime before = Now();
  const TDateValue value = ParseDate("10:30", "mm/dd/yyyy");
  const TDateTime after = Now();
  ASSERT_TRUE(value.Ok);
  const double day = std::trunc(value.Value);
  EXPECT_TRUE(day == std::trunc(before) || day == std::trunc(after));
  EXPECT_DOUBLE_EQ(value.Value - day, *TryEncodeTime(10, 30, 0, 0));
}

}  // namespace
}  // namespace quorvid
