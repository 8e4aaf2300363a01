#include "output/streams.h"


#include <cstdio>
#include <memory>

#include "cli/syntax_error.h"
#include "output/run_stop.h"
#include "platform/console.h"
#include "platform/file_info.h"
#include "platform/text_encoding.h"

namespace quorvid {

namespace {

constexpr const char* kStandardOutputName = "standard output";

RunSettings* gRun = nullptr;
std::unique_ptr<TextStream> gResultFile;  // the -o or -g file while open

std::string FileErrorMessage(const std::string& name, const std::string& errorText) {
  return "File handling error occurred with \"" + name + "\" -- " + errorText;
}

// A written result that cannot reach its file or device ends the run: the
// message goes to standard error and the process stops with the writer's code.
void EndRunAfterWriteFailure(TextStream& stream, int32_t code) {
  static bool ending = false;
  if (ending) return;  // stopping below flushes again; report only the first failure
  ending = true;
  platform::WriteStdErr(FileErrorMessage(stream.Name(), stream.ErrorText()) + std::string(kLineEnd));
  if (gRun != nullptr) gRun->ExitCode = code;
  throw TRunStop{code};
}

TextStream& StandardOutputStream() {
  // No buffer of its own: the C library's buffer on standard output keeps
  // result, tee and status lines in the order they were written.
  static TextStream stream(platform::StandardOutputTarget(), kStandardOutputName,
                           platform::kUtf8CodePage, 0);
  static const bool handlerSet = [] {
    stream.SetFailureHandler([](TextStream& s) {
      EndRunAfterWriteFailure(s, gRun != nullptr ? gRun->OutputWriteFailExitCode
                                                 : kDefaultWriteFailCode);
    });
    return true;
  }();
  (void)handlerSet;
  return stream;
}

void CloseResultFile() {
  if (!gResultFile) return;
  gResultFile->Close();  // a failure ends the run through the stream's handler
  gResultFile.reset();
}

}  // namespace

void BindOutputToRun(RunSettings& settings) { gRun = &settings; }

uint16_t OutputCodePage(const RunSettings& settings) {
  return settings.CodePage.Found ? settings.CodePageId : platform::kUtf8CodePage;
}

TextStream& ResultStream() { return gResultFile ? *gResultFile : StandardOutputStream(); }

TextStream& ConsoleStream() { return StandardOutputStream(); }

void WriteStatus(std::string_view text) {
  // Results written so far come first on a terminal that shows both.
  StandardOutputStream().Flush();
  platform::WriteStdErr(std::string(text));
}

void WriteResultLine(std::string_view line, bool tee) {
  TextStream& result = ResultStream();
  result.WriteLine(line);
  if (tee && !result.IsStandardOutput()) StandardOutputStream().WriteLine(line);
}

void OpenOutputFile(RunSettings& settings, const std::string& fileName, int32_t noNameCode,
                    int32_t writeErrorCode, const std::string& optionLabel) {
  BindOutputToRun(settings);
  if (fileName.empty()) {
    SyntaxErrorExit(settings, noNameCode, "ERROR: No filename provided for output! " + optionLabel);
    StopRun(settings, noNameCode);
  }
  CloseResultFile();
  platform::WriteMode mode = (settings.Append.Found && platform::FileExists(fileName))
                                 ? platform::WriteMode::Append
                                 : platform::WriteMode::CreateOrTruncate;
  platform::OutputTarget target;
  std::string errorText;
  if (!platform::OpenOutputTarget(fileName, mode, target, errorText)) {
    SyntaxErrorExit(settings, writeErrorCode, FileErrorMessage(fileName, errorText));
    StopRun(settings, writeErrorCode);
  }
  gResultFile = std::make_unique<TextStream>(target, fileName, OutputCodePage(settings),
                                             kOutputFileBufferSize);
  gResultFile->SetFailureHandler(
      [writeErrorCode](TextStream& s) { EndRunAfterWriteFailure(s, writeErrorCode); });
  // Results already computed reach the file even when a signal ends the run.
  gResultFile->SaveOnSignal();
}

void WriteSummaryFile(RunSettings& settings, bool aborted, const std::string& fileName,
                      int64_t success, int64_t total, int64_t errors) {
  BindOutputToRun(settings);
  const std::string name = fileName.empty() ? settings.SummaryPath : fileName;
  std::string line = std::to_string(success) + "," + std::to_string(total) + "," +
                     std::to_string(errors) + "," + (aborted ? "TRUE" : "FALSE");
  platform::OutputTarget target;
  std::string errorText;
  // The default summary lies in a folder others may write to: a link put
  // there in its place is not followed.
  const platform::WriteMode mode = name == settings.SummaryPath
                                       ? platform::WriteMode::CreateOrTruncateNoLink
                                       : platform::WriteMode::CreateOrTruncate;
  bool failed = !platform::OpenOutputTarget(name, mode, target,
                                            errorText);
  if (!failed) {
    TextStream summary(target, name, OutputCodePage(settings), kOutputFileBufferSize);
    summary.SetFailureHandler([&](TextStream& s) {
      failed = true;
      errorText = s.ErrorText();
    });
    summary.WriteLine(line);
    summary.Close();
  }
  // The results are already written: a summary that cannot be written only
  // changes the exit code.
  if (failed) SyntaxErrorExit(settings, kSummaryWriteFailCode, FileErrorMessage(name, errorText));
}

void CloseResultStream() {
  CloseResultFile();
  StandardOutputStream().Flush();
}

}  // namespace quorvid
