#include "output/streams.h"

#include "output/run_stop.h"
#include "platform/console.h"
#include "platform/file_info.h"
#include "platform/text_encoding.h"

namespace quorvid {

namespace {

constexpr const char* kStandardOutputName = "standard output";

}  // namespace

std::string FileErrorMessage(const std::string& name, const std::string& errorText) {
  return "File handling error occurred with \"" + name + "\" -- " + errorText;
}

void OutputChannels::EndRunAfterWriteFailure(TextStream& stream, int32_t code) {
  if (ending_) return;
  ending_ = true;
  platform::WriteStdErr(FileErrorMessage(stream.Name(), stream.ErrorText()) +
                        std::string(kLineEnd));
  StopRun(code);
}

OutputChannels::OutputChannels(int32_t standardOutputFailCode)
    : standardOutputFailCode_(standardOutputFailCode),
      // No buffer of its own: the C library's buffer on standard output keeps
      // result, tee and status lines in the order they were written.
      standardOutput_(std::make_unique<TextStream>(platform::StandardOutputTarget(),
                                                   kStandardOutputName, platform::kUtf8CodePage, 0)) {
  standardOutput_->SetFailureHandler(
      [this](TextStream& s) { EndRunAfterWriteFailure(s, standardOutputFailCode_); });
}

OutputChannels::~OutputChannels() = default;

TextStream& OutputChannels::Result() { return resultFile_ ? *resultFile_ : *standardOutput_; }

TextStream& OutputChannels::Console() { return *standardOutput_; }

void OutputChannels::WriteResultLine(std::string_view line, bool tee) {
  TextStream& result = Result();
  result.WriteLine(line);
  if (tee && !result.IsStandardOutput()) standardOutput_->WriteLine(line);
}

bool OutputChannels::OpenResultFile(const std::string& fileName, bool append, uint16_t codePage,
                                    int32_t writeFailCode, std::string& errorText) {
  if (resultFile_) {
    // The file opened before is done: a failure to write it out ends the run.
    resultFile_->Close();
    resultFile_.reset();
  }
  const platform::WriteMode mode = append && platform::FileExists(fileName)
                                       ? platform::WriteMode::Append
                                       : platform::WriteMode::CreateOrTruncate;
  platform::OutputTarget target;
  if (!platform::OpenOutputTarget(fileName, mode, target, errorText)) return false;
  resultFile_ = std::make_unique<TextStream>(target, fileName, codePage, kOutputFileBufferSize);
  resultFile_->SetFailureHandler(
      [this, writeFailCode](TextStream& s) { EndRunAfterWriteFailure(s, writeFailCode); });
  // Results already computed reach the file even when a signal ends the run.
  resultFile_->SaveOnSignal();
  return true;
}

void OutputChannels::CloseResult() {
  if (resultFile_) {
    std::unique_ptr<TextStream> file = std::move(resultFile_);
    file->Close();  // a failure ends the run through the stream's handler
  }
  standardOutput_->Flush();
}

std::optional<std::string> WriteSummaryFile(const std::string& fileName, bool noLinks,
                                            uint16_t codePage, bool aborted, int64_t success,
                                            int64_t total, int64_t errors) {
  const std::string line = std::to_string(success) + "," + std::to_string(total) + "," +
                           std::to_string(errors) + "," + (aborted ? "TRUE" : "FALSE");
  platform::OutputTarget target;
  std::string errorText;
  bool failed = !platform::OpenOutputTarget(
      fileName,
      noLinks ? platform::WriteMode::CreateOrTruncateNoLink : platform::WriteMode::CreateOrTruncate,
      target, errorText);
  if (!failed) {
    TextStream summary(target, fileName, codePage, kOutputFileBufferSize);
    summary.SetFailureHandler([&](TextStream& s) {
      failed = true;
      errorText = s.ErrorText();
    });
    summary.WriteLine(line);
    summary.Close();
  }
  if (!failed) return std::nullopt;
  return FileErrorMessage(fileName, errorText);
}

void WriteStatus(OutputChannels& channels, std::string_view text) {
  channels.Console().Flush();
  platform::WriteStdErr(text);
}

}  // namespace quorvid
