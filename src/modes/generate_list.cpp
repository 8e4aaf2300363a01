#include "modes/generate_list.h"

#include "modes/exit_codes.h"
#include "modes/program_info.h"
#include "modes/run_output.h"
#include "support/date_format.h"

namespace quorvid {

namespace {

constexpr const char* kListOptionTag = "(-g|--generate-list)";
// Quoted parts are literal text, so only the date and the time are formatted.
constexpr const char* kGeneratedOnPattern = "\"; Generated on\" mm/dd/yyyy \"at\" hh:nn:ss";

}  // namespace

void OpenChecksumList(RunSettings& settings) {
  OpenOutputFile(settings, settings.GenerateList.Value1, exit_code::kNoChecksumListFile,
                 exit_code::kChecksumFileUnwritable, kListOptionTag);
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
  for (const std::string& line :
       ChecksumListHeader(settings.ProgramPath, Now(), FileCodePage(settings)))
    settings.Output->Result().WriteLine(line);
}

void ReportChecksumListWritten(RunSettings& settings) {
  settings.Output->Result().Flush();
  WriteStatus(*settings.Output, "Writing \"" + settings.GenerateList.Value1 + "\" ... Done" + std::string(kLineEnd));
}

}  // namespace quorvid
