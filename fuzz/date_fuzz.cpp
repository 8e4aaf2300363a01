// Date patterns and typed dates: FormatDate with any pattern and value,
// ParseDate and ParseDateTime with any text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "support/date_format.h"
#include "support/date_parse.h"

using namespace quorvid;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  fuzz::FuzzInput input(data, size);
  // Dates of years 1 to 9999, as every value the program formats is.
  double raw = input.Number<double>();
  TDateTime value = std::isfinite(raw) ? std::fmod(raw, 2958466.0) : 0.0;
  if (value < -693593.0) value = -693593.0;
  // The last millisecond of 9999-12-31 is the latest value a date can round to.
  if (value > 2958465.99998) value = 2958465.99998;
  TDateTime now = 45000.5 + input.Number<uint16_t>();
  std::string pattern(input.Text());
  std::string text(input.Rest());

  const TFormatSettings& settings = ProcessFormatSettings();
  TDateText formatted = FormatDate(pattern, value, settings);
  if (formatted.Ok && formatted.Text.size() > 255 * 4) std::abort();
  if (!formatted.Ok && formatted.Error.empty()) std::abort();

  TDateValue parsed = ParseDate(text, pattern, settings, now);
  if (!parsed.Ok && parsed.Error.empty()) std::abort();
  TDateValue parsedTime = ParseDateTime(text, settings, now);
  if (!parsedTime.Ok && parsedTime.Error.empty()) std::abort();

  // A date written as mm/dd/yyyy hh:nn:ss reads back as the same second.
  TDateText written = FormatDate("mm/dd/yyyy hh:nn:ss", value, settings);
  if (written.Ok && value >= 1.0) {
    TDateValue back = ParseDateTime(written.Text, settings, now);
    if (!back.Ok || std::fabs(back.Value - value) > 1.0 / 86400.0 + 1e-9) std::abort();
  }
  return 0;
}
