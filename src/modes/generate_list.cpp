#include "modes/generate_list.h"

#include "cli/version_info.h"
#include "output/streams.h"
#include "support/date_format.h"

namespace quorvid {

namespace {

constexpr const char* kListOptionTag = "(-g|--generate-list)";
constexpr int32_t kNoListNameCode = 115;
constexpr int32_t kListWriteFailCode = 107;
// Quoted parts are literal text, so only the date and the time are formatted.
constexpr const char* kGeneratedOnPattern = "\"; Generated on\" mm/dd/yyyy \"at\" hh:nn:ss";

}  // namespace

void OpenChecksumList(RunSettings& settings) {
  OpenOutputFile(settings, settings.GenerateList.Value1, kNoListNameCode, kListWriteFailCode,
                 kListOptionTag);
}

std::vector<std::string> ChecksumListHeader(const std::string& programPath, TDateTime now,
                                            uint16_t codePage) {
  TFileVersionInfoRec info = MakeVersionInfo(programPath, "");
  // The pattern holds no stray "a", so formatting cannot fail.
  std::string generated = FormatDate(kGeneratedOnPattern, now).Text;
  return {
      "; " + info.ShortTitle + " -- " + kDescription,
      "; " + info.OwnerLine,
      "; " + info.AuthorLine,
      ";",
      generated + " using CodePage " + std::to_string(codePage),
      ";",
  };
}

void WriteChecksumListHeader(RunSettings& settings) {
  uint16_t codePage = settings.CodePageId == 0 ? 65001 : settings.CodePageId;
  for (const std::string& line : ChecksumListHeader(settings.ProgramPath, Now(), codePage))
    ResultStream().WriteLine(line);
}

void ReportChecksumListWritten(RunSettings& settings) {
  ResultStream().Flush();
  WriteStatus("Writing \"" + settings.GenerateList.Value1 + "\" ... Done" + std::string(kLineEnd));
}

}  // namespace quorvid
