#include "modes/run_output.h"

#include "modes/exit_codes.h"
#include "output/run_stop.h"
#include "platform/console.h"
#include "platform/text_encoding.h"

namespace quorvid {

namespace {

// Shows `message` on the syntax-error screen and sets ExitCode to
// `exitCode`; the run carries on (StopWithError is the stopping kind).
void ReportError(RunSettings& settings, int32_t exitCode, const std::string& message) {
  if (settings.Output != nullptr) settings.Output->Console().Flush();
  if (settings.ShowError != nullptr) {
    settings.ShowError(settings, exitCode, message);
  } else {
    platform::WriteStdErr(message + "\n");
  }
  settings.ExitCode = exitCode;
}

}  // namespace

uint16_t FileCodePage(const RunSettings& settings) {
  return settings.CodePage.Found ? settings.CodePageId : platform::kUtf8CodePage;
}

void WriteResult(RunSettings& settings, std::string_view line) {
  settings.Output->WriteResultLine(line, settings.TeeOn);
}

void OpenOutputFile(RunSettings& settings, const std::string& fileName, int32_t noNameCode,
                    int32_t writeErrorCode, const std::string& optionLabel) {
  if (fileName.empty())
    StopWithError(noNameCode, "ERROR: No filename provided for output! " + optionLabel);
  std::string errorText;
  if (!settings.Output->OpenResultFile(fileName, settings.Append.Found, FileCodePage(settings),
                                       writeErrorCode, errorText))
    StopWithError(writeErrorCode, FileErrorMessage(fileName, errorText));
}

void WriteRunSummary(RunSettings& settings, bool aborted, int64_t success, int64_t total,
                     int64_t errors) {
  const std::string& name = settings.Summary.Value1;
  // The default summary lies in a folder others may write to: a link put
  // there in its place is not followed.
  const auto failure = WriteSummaryFile(name, name == settings.SummaryPath, FileCodePage(settings),
                                        aborted, success, total, errors);
  if (failure) ReportError(settings, exit_code::kSummaryUnwritable, *failure);
}

}  // namespace quorvid
