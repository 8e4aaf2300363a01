#include "platform/date_picture.h"

#include <gtest/gtest.h>

#include <ctime>

#include "test_support.h"

namespace quorvid::platform {
namespace {

// What the C library writes for Thursday 7 March 2024 in the form given.
std::string OnMarchSeventh(const std::string& format) {
  std::tm tm{};
  tm.tm_year = 2024 - 1900;
  tm.tm_mon = 2;
  tm.tm_mday = 7;
  tm.tm_wday = 4;
  char text[128];
  const size_t n = std::strftime(text, sizeof text, format.c_str(), &tm);
  return std::string(text, n);
}

// Each picture, translated and written out by the C library, gives what
// Windows shows for that date with that picture.
TEST(DatePicture, TranslatedPicturesShowWhatWindowsShows) {
  if (test::OnWindows()) GTEST_SKIP() << "the check reads with GNU strftime forms (%-d) Windows' C library lacks";
  const struct {
    const char* picture;
    const char* shown;
  } cases[] = {
      {"M/d/yyyy", "3/7/2024"},            // en-US
      {"dd.MM.yyyy", "07.03.2024"},        // de-DE
      {"yyyy-MM-dd", "2024-03-07"},        // sv-SE
      {"d.M.yyyy 'г.'", "7.3.2024 г."},    // bg-BG
      {"yyyy. MM. dd.", "2024. 03. 07."},  // hu-HU
      {"dd-MMM-yy", "07-Mar-24"},
      {"dddd, MMMM d, yyyy", "Thursday, March 7, 2024"},
      {"ddd d", "Thu 7"},
      {"d 'o''clock' M", "7 o'clock 3"},  // a doubled quote is a quote
      {"d '%'M", "7 %3"},                 // % is text, not a conversion
      {"d%M", "7%3"},
      {"d 'open", "7 open"},  // a quote left open runs to the end
  };
  for (const auto& c : cases) {
    const std::string format = StrftimeFromDatePicture(c.picture);
    EXPECT_EQ(OnMarchSeventh(format), c.shown) << c.picture << " -> " << format;
  }
}

TEST(DatePicture, ErasHaveNoForm) {
  EXPECT_EQ(StrftimeFromDatePicture("gg y/M/d"), "");
  EXPECT_EQ(StrftimeFromDatePicture("yyyy/M/d g"), "");
}

}  // namespace
}  // namespace quorvid::platform
