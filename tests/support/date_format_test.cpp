#include "support/date_format.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace quorvid {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  const auto value = TryEncodeDateTime({y, mo, d, h, mi, s, ms});
  EXPECT_TRUE(value.has_value());
  return value.value_or(0.0);
}

// 7 March 2024 (a Thursday), 13:05:09.007.
const TDateTime kAfternoon = At(2024, 3, 7, 13, 5, 9, 7);

std::string Fmt(const std::string& pattern, TDateTime value = kAfternoon) {
  const TDateText result = FormatDate(pattern, value);
  EXPECT_TRUE(result.Ok) << pattern << ": " << result.Error;
  return result.Text;
}

TEST(FormatDate, DisplayPatternsOfTheProgram) {
  EXPECT_EQ(Fmt("yyyy.mm.dd-hh:nn", 0.0), "1899.12.30-00:00");
  EXPECT_EQ(Fmt("mm/dd/yyyy hh:nn AM/PM", At(2024, 3, 7, 13, 5)), "03/07/2024 01:05 PM");
  EXPECT_EQ(Fmt("mm/dd/yyyy hh:nn am/pm", At(2024, 3, 7, 13, 5)), "03/07/2024 01:05 pm");
  EXPECT_EQ(Fmt("mm/dd/yyyy hh:nn AM/PM", At(2024, 3, 7, 9, 5)), "03/07/2024 09:05 AM");
  EXPECT_EQ(Fmt("yyyy.mm.dd-hh:nn", At(2024, 3, 7, 13, 5)), "2024.03.07-13:05");
}

TEST(FormatDate, DayTokens) {
  EXPECT_EQ(Fmt("d"), "7");
  EXPECT_EQ(Fmt("dd"), "07");
  EXPECT_EQ(Fmt("ddd"), "Thu");
  EXPECT_EQ(Fmt("dddd"), "Thursday");
  EXPECT_EQ(Fmt("ddddd"), "03/07/2024");
  EXPECT_EQ(Fmt("dddddd"), "Thursday, March 07, 2024");
  EXPECT_EQ(Fmt("ddddddddd"), "Thursday, March 07, 2024");
  EXPECT_EQ(Fmt("dd", At(2024, 3, 17)), "17");
  EXPECT_EQ(Fmt("dddd", 0.0), "Saturday");
  EXPECT_EQ(Fmt("ddd", At(2023, 12, 31)), "Sun");
}

TEST(FormatDate, MonthAndYearTokens) {
  EXPECT_EQ(Fmt("m"), "3");
  EXPECT_EQ(Fmt("mm"), "03");
  EXPECT_EQ(Fmt("mmm"), "Mar");
  EXPECT_EQ(Fmt("mmmm"), "March");
  EXPECT_EQ(Fmt("mmmmmm"), "March");
  EXPECT_EQ(Fmt("m", At(2024, 11, 1)), "11");
  EXPECT_EQ(Fmt("y"), "24");
  EXPECT_EQ(Fmt("yy"), "24");
  EXPECT_EQ(Fmt("yyy"), "2024");
  EXPECT_EQ(Fmt("yyyy"), "2024");
  EXPECT_EQ(Fmt("yyyyyy"), "2024");
  EXPECT_EQ(Fmt("y", At(2005, 1, 1)), "05");
  EXPECT_EQ(Fmt("yyyy", At(5, 1, 1)), "0005");
  EXPECT_EQ(Fmt("yyyy/mm/dd", At(9999, 12, 31)), "9999/12/31");
}

TEST(FormatDate, TimeTokens) {
  const TDateTime morning = At(2024, 3, 7, 9, 4, 3, 21);
  EXPECT_EQ(Fmt("h", morning), "9");
  EXPECT_EQ(Fmt("hh", morning), "09");
  EXPECT_EQ(Fmt("hhh", morning), "09");
  EXPECT_EQ(Fmt("n", morning), "4");
  EXPECT_EQ(Fmt("nn", morning), "04");
  EXPECT_EQ(Fmt("nnn", morning), "04");
  EXPECT_EQ(Fmt("s", morning), "3");
  EXPECT_EQ(Fmt("ss", morning), "03");
  EXPECT_EQ(Fmt("z", morning), "21");
  EXPECT_EQ(Fmt("zz", morning), "021");
  EXPECT_EQ(Fmt("zzzz", morning), "021");
  EXPECT_EQ(Fmt("t"), "13:05:09");
  EXPECT_EQ(Fmt("tt"), "13:05:09");
}

TEST(FormatDate, CombinedTokens) {
  EXPECT_EQ(Fmt("c"), "03/07/2024 13:05:09");
  EXPECT_EQ(Fmt("c", At(2024, 3, 7)), "03/07/2024");
  // Milliseconds alone do not count as a time of day for c.
  EXPECT_EQ(Fmt("c", At(2024, 3, 7, 0, 0, 0, 500)), "03/07/2024");
  EXPECT_EQ(Fmt("f"), "03/07/2024 13:05:09");
  EXPECT_EQ(Fmt("f", At(2024, 3, 7)), "03/07/2024 00:00:00");
}

TEST(FormatDate, AmPmTokens) {
  const TDateTime morning = At(2024, 3, 7, 9, 0);
  EXPECT_EQ(Fmt("ampm", morning), "AM");
  EXPECT_EQ(Fmt("AMPM"), "PM");
  EXPECT_EQ(Fmt("a/p", morning), "a");
  EXPECT_EQ(Fmt("a/p"), "p");
  EXPECT_EQ(Fmt("A/P"), "P");
  // The letters are shown as written.
  EXPECT_EQ(Fmt("Am/pM", morning), "Am");
  EXPECT_EQ(Fmt("Am/pM"), "pM");
  EXPECT_EQ(Fmt("a/P"), "P");
  EXPECT_EQ(Fmt("am/pm", At(2024, 3, 7, 12, 0)), "pm");
  EXPECT_EQ(Fmt("am/pm", At(2024, 3, 7, 11, 59, 59, 999)), "am");
}

TEST(FormatDate, TwelveHourClockWhenAMarkerIsPresent) {
  EXPECT_EQ(Fmt("h:nn a/p", At(2024, 3, 7, 0, 30)), "12:30 a");
  EXPECT_EQ(Fmt("h:nn ampm", At(2024, 3, 7, 12, 30)), "12:30 PM");
  EXPECT_EQ(Fmt("hh:nn AM/PM", At(2024, 3, 7, 23, 0)), "11:00 PM");
  // The marker may stand before the hour.
  EXPECT_EQ(Fmt("AM/PM hh", At(2024, 3, 7, 15, 0)), "PM 03");
  // A marker inside quotes is only text.
  EXPECT_EQ(Fmt("hh 'AM/PM'", At(2024, 3, 7, 15, 0)), "15 AM/PM");
  EXPECT_EQ(Fmt("hh", At(2024, 3, 7, 0, 0)), "00");
}

TEST(FormatDate, MonthOrMinutesAfterAnHour) {
  EXPECT_EQ(Fmt("hh:mm"), "13:05");
  EXPECT_EQ(Fmt("h:m"), "13:5");
  EXPECT_EQ(Fmt("hhmm"), "1305");
  EXPECT_EQ(Fmt("hh/mm"), "13/05");
  EXPECT_EQ(Fmt("hh'h'mm"), "13h05");
  EXPECT_EQ(Fmt("hh am/pm mm"), "01 pm 03");  // the space decides, not am/pm
  EXPECT_EQ(Fmt("hham/pmmm"), "01pm05");
  EXPECT_EQ(Fmt("mm"), "03");
  EXPECT_EQ(Fmt("hh mm"), "13 03");
  EXPECT_EQ(Fmt("hh:nn:mm"), "13:05:03");
  EXPECT_EQ(Fmt("hh:ss:mm"), "13:09:03");
  // Only m and mm can be minutes: three or more are the month's name.
  EXPECT_EQ(Fmt("hh:mmm"), "13:Mar");
  EXPECT_EQ(Fmt("hh:mmmm"), "13:March");
  EXPECT_EQ(Fmt("h:mmmmm"), "13:March");
}

TEST(FormatDate, CaseDoesNotMatter) {
  EXPECT_EQ(Fmt("YYYY-MM-DD HH:NN:SS"), "2024-03-07 13:05:09");
  EXPECT_EQ(Fmt("Dddd"), "Thursday");
  EXPECT_EQ(Fmt("mMm"), "Mar");
}

TEST(FormatDate, QuotesSeparatorsAndCopiedCharacters) {
  EXPECT_EQ(Fmt("'yyyy' \"mm\""), "yyyy mm");
  EXPECT_EQ(Fmt("yyyy 'rest hh"), "2024 rest hh");
  EXPECT_EQ(Fmt("\"it's\" dd"), "it's 07");
  EXPECT_EQ(Fmt("''dd"), "07");
  EXPECT_EQ(Fmt("x#1-9_b"), "x#1-9_b");
  EXPECT_EQ(Fmt("dd\xC3\xA9mm"), "07\xC3\xA9" "03");
  EXPECT_EQ(Fmt(""), "");
  // Era tokens: this platform reports no era, so the letters stand.
  EXPECT_EQ(Fmt("e g ee"), "e g ee");
}

TEST(FormatDate, SeparatorsComeFromTheSettings) {
  TFormatSettings settings = ProcessFormatSettings();
  settings.DateSeparator = '-';
  settings.TimeSeparator = '.';
  const TDateText result = FormatDate("mm/dd hh:nn", kAfternoon, settings);
  ASSERT_TRUE(result.Ok);
  EXPECT_EQ(result.Text, "03-07 13.05");
}

TEST(FormatDate, StrayAIsAnError) {
  for (const std::string pattern : {"yyyy mm dd at hh:nn", "a", "aa", "am", "a/", "ampn", "A/M"}) {
    const TDateText result = FormatDate(pattern, kAfternoon);
    EXPECT_FALSE(result.Ok) << pattern;
    EXPECT_EQ(result.Error, "Illegal character in format string") << pattern;
  }
  // Inside quotes an "a" is text.
  EXPECT_EQ(Fmt("'at' hh"), "at 13");
}

TEST(FormatDate, SubPatternsExpandOneLevelDeep) {
  TFormatSettings settings = ProcessFormatSettings();
  settings.ShortDateFormat = "dd t";
  settings.LongTimeFormat = "hh mm";
  // A pattern reached through an expanded one is not expanded again.
  EXPECT_EQ(FormatDate("ddddd", kAfternoon, settings).Text, "07 ");
  // Inside an expanded time pattern m means minutes even after a space.
  EXPECT_EQ(FormatDate("tt", kAfternoon, settings).Text, "13 05");
  EXPECT_EQ(FormatDate("c", kAfternoon, settings).Text, "07  13 05");
  // A stray a inside a sub-pattern fails the whole pattern.
  settings.ShortTimeFormat = "hh a";
  EXPECT_FALSE(FormatDate("t", kAfternoon, settings).Ok);
}

TEST(FormatDate, ResultIsCutAtWholePieces) {
  EXPECT_EQ(Fmt(std::string(300, 'x')), std::string(255, 'x'));
  EXPECT_EQ(Fmt(std::string(250, 'x') + "mmmm"), std::string(250, 'x') + "March");
  // "March" would pass the limit, so it is left out; the shorter day still fits.
  EXPECT_EQ(Fmt(std::string(252, 'x') + "mmmmdd"), std::string(252, 'x') + "07");
  // A quoted text is one piece.
  EXPECT_EQ(Fmt(std::string(250, 'x') + "'abcdef'z"), std::string(250, 'x') + "7");
  // The limit counts characters, not bytes.
  std::string accents;
  for (int i = 0; i < 255; ++i) accents += "\xC3\xA9";
  EXPECT_EQ(Fmt(accents + "dd"), accents);
  // Stray bytes that are not UTF-8 count one character each, so malformed
  // text cannot pass the limit (it once could, by any length).
  EXPECT_EQ(Fmt(std::string(2000, '\x9C')), std::string(255, '\x9C'));
  EXPECT_EQ(Fmt("\xC3\xA9" + std::string(300, '\xA9')), "\xC3\xA9" + std::string(254, '\xA9'));
}

TEST(FormatDate, ValuesBeforeTheBaseDay) {
  // The fraction is read as a positive time of the day.
  EXPECT_EQ(Fmt("yyyy-mm-dd hh:nn", -0.5), "1899-12-30 12:00");
  EXPECT_EQ(Fmt("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
  EXPECT_EQ(Fmt("yyyy-mm-dd hh:nn:ss", At(1800, 6, 1, 18, 30, 15)), "1800-06-01 18:30:15");
}

TEST(TranslateLocaleDateFormat, CommonLocaleFormats) {
  EXPECT_EQ(TranslateLocaleDateFormat("%m/%d/%y"), "mm/dd/yy");
  EXPECT_EQ(TranslateLocaleDateFormat("%m/%d/%Y"), "mm/dd/yyyy");
  EXPECT_EQ(TranslateLocaleDateFormat("%d.%m.%Y"), "dd.mm.yyyy");
  EXPECT_EQ(TranslateLocaleDateFormat("%Y-%m-%d"), "yyyy-mm-dd");
  EXPECT_EQ(TranslateLocaleDateFormat("%F"), "yyyy-mm-dd");
  EXPECT_EQ(TranslateLocaleDateFormat("%D"), "mm/dd/yy");
  EXPECT_EQ(TranslateLocaleDateFormat("%-d/%-m/%Y"), "d/m/yyyy");
  EXPECT_EQ(TranslateLocaleDateFormat("%e %b %Y"), "d mmm yyyy");
  EXPECT_EQ(TranslateLocaleDateFormat("%A %d %B %Y"), "dddd dd mmmm yyyy");
  EXPECT_EQ(TranslateLocaleDateFormat("%Ey/%Om/%d"), "yy/mm/dd");
  // Literal letters are quoted so they are not read as tokens.
  EXPECT_EQ(TranslateLocaleDateFormat("%d de %B de %Y"), "dd\" de \"mmmm\" de \"yyyy");
  EXPECT_EQ(TranslateLocaleDateFormat("%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5"),
            "yyyy\xE5\xB9\xB4mm\xE6\x9C\x88" "dd\xE6\x97\xA5");
  EXPECT_EQ(TranslateLocaleDateFormat("%d%%%m"), "dd%mm");
}

TEST(TranslateLocaleDateFormat, UntranslatableFormats) {
  EXPECT_FALSE(TranslateLocaleDateFormat("").has_value());
  EXPECT_FALSE(TranslateLocaleDateFormat("%j/%Y").has_value());
  EXPECT_FALSE(TranslateLocaleDateFormat("%d/%m/%").has_value());
  EXPECT_FALSE(TranslateLocaleDateFormat("%d%d").has_value());
  EXPECT_FALSE(TranslateLocaleDateFormat("%d 'x\"y' %m").has_value());
}

TEST(TranslateLocaleDateFormat, EveryTranslationFormats) {
  for (const char* c : {"%m/%d/%y", "%d de %B de %Y", "%A %d %B %Y", "%d.%m.%Y"}) {
    const auto pattern = TranslateLocaleDateFormat(c);
    ASSERT_TRUE(pattern.has_value()) << c;
    EXPECT_TRUE(FormatDate(*pattern, kAfternoon).Ok) << *pattern;
  }
  EXPECT_EQ(Fmt(*TranslateLocaleDateFormat("%d de %B de %Y")), "07 de March de 2024");
}

TEST(LocaleShortDatePattern, CLocale) {
  if (test::OnWindows()) GTEST_SKIP() << "Windows takes the short date from its regional settings, not LC_ALL";
  // The tests run with LC_ALL=C, whose short date format is %m/%d/%y.
  EXPECT_EQ(LocaleShortDatePattern(), "mm/dd/yy");
}

}  // namespace
}  // namespace quorvid
