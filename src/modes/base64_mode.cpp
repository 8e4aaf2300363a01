#include "modes/base64_mode.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "modes/exit_codes.h"
#include "modes/run_output.h"
#include "output/run_stop.h"
#include "output/text_stream.h"
#include "platform/console.h"
#include "platform/file_info.h"
#include "platform/file_reader.h"
#include "platform/file_writer.h"
#include "platform/text_encoding.h"
#include "support/base64.h"

namespace quorvid {
namespace {

// Files pass through in pieces of this size, so memory stays bounded.
constexpr size_t kChunkSize = 1 << 20;
// A file that cannot be read ends a base64 run with this code.
constexpr int32_t kReadFailCode = exit_code::kLegacyCannotRead;

// Turns CR LF, CR and LF into the platform line end and ends the last line,
// so bytes written as text read as the lines of a text file.
class LineEnds {
 public:
  explicit LineEnds(TextStream& out) : out_(out) {}
  void Add(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
      if (c == '\n' && lastWasCr_) {
        lastWasCr_ = false;  // the LF of a CR LF pair
        continue;
      }
      lastWasCr_ = c == '\r';
      if (c == '\r' || c == '\n') {
        text += kLineEnd;
        lineOpen_ = false;
      } else {
        text += c;
        lineOpen_ = true;
      }
    }
    out_.Write(text);
  }
  void Finish() {
    if (lineOpen_) out_.Write(kLineEnd);
    lineOpen_ = false;
  }

 private:
  TextStream& out_;
  bool lastWasCr_ = false;
  bool lineOpen_ = false;
};

// An input file read in pieces; a failure stops the run.
class Input {
 public:
  explicit Input(const std::string& name) : name_(name), buffer_(kChunkSize) {
    if (reader_.Open(name_)) return;
    const std::string errorText = platform::LastErrorText();
    if (!platform::FileExists(name_))
      StopWithError(kReadFailCode, "ERROR: Could not access file: \"" + name_ + "\"");
    StopWithError(kReadFailCode, FileErrorMessage(name_, errorText));
  }

  // The next piece, empty at the end.
  std::string_view Next() {
    const int64_t count = reader_.Read(buffer_.data(), buffer_.size());
    if (count < 0) StopWithError(kReadFailCode, FileErrorMessage(name_, platform::LastErrorText()));
    return std::string_view(reinterpret_cast<const char*>(buffer_.data()), static_cast<size_t>(count));
  }

 private:
  std::string name_;
  platform::FileReader reader_;
  std::vector<uint8_t> buffer_;
};

// The output file of the file-to-file forms: bytes as they are, no code page.
std::unique_ptr<TextStream> CreateOutput(RunSettings& settings, const std::string& name) {
  platform::OutputTarget target;
  std::string errorText;
  if (!platform::OpenOutputTarget(name, platform::WriteMode::CreateOrTruncate, target, errorText))
    StopWithError(settings.OutputWriteFailExitCode, FileErrorMessage(name, errorText));
  auto stream = std::make_unique<TextStream>(target, name, platform::kUtf8CodePage, kChunkSize);
  // A write that fails (disk full, device gone) ends the run at once.
  stream->SetFailureHandler([&settings](TextStream& failed) {
    settings.Output->Console().Flush();
    platform::WriteStdErr(FileErrorMessage(failed.Name(), failed.ErrorText()) + std::string(kLineEnd));
    StopRun(settings.OutputWriteFailExitCode);
  });
  return stream;
}

// Status texts go to standard error: a decoded file sent to standard
// output stays byte for byte what was encoded.
void ShowProgress(RunSettings& settings, std::string_view verb, const std::string& name) {
  WriteStatus(*settings.Output, std::string(verb) + " \"" + name + "\" ");
}

void ShowDone(RunSettings& settings) { WriteStatus(*settings.Output, "... Done" + std::string(kLineEnd)); }

// The tee display of a written file: an empty line, its lines, a line end.
void ShowWrittenFile(RunSettings& settings, const std::string& name) {
  TextStream& console = settings.Output->Console();
  console.WriteLine("");
  Input input(name);
  LineEnds lines(console);
  for (std::string_view piece = input.Next(); !piece.empty(); piece = input.Next()) lines.Add(piece);
  lines.Finish();
  console.WriteLine("");
}

}  // namespace

void EncodeFileToFile(RunSettings& settings, const std::string& input, const std::string& output, bool tee) {
  ShowProgress(settings, "Reading", input);
  Input in(input);
  ShowDone(settings);
  ShowProgress(settings, "Writing", output);
  std::unique_ptr<TextStream> out = CreateOutput(settings, output);
  Base64Encoder encoder;
  std::string encoded;
  for (;;) {
    const std::string_view piece = in.Next();
    if (piece.empty()) break;
    encoded.clear();
    encoder.Update(piece, encoded);
    out->Write(encoded);
  }
  encoded.clear();
  encoder.Finish(encoded);
  out->Write(encoded);
  out->Close();
  ShowDone(settings);
  if (tee) ShowWrittenFile(settings, output);
}

void EncodeFileToResult(RunSettings& settings, const std::string& input) {
  ShowProgress(settings, "Reading", input);
  Input in(input);
  // The first piece is read before "Done", so a file that cannot be read at
  // all is reported before anything is written.
  std::string_view piece = in.Next();
  ShowDone(settings);
  TextStream& result = settings.Output->Result();
  result.WriteLine("");
  Base64Encoder encoder;
  std::string encoded;
  while (!piece.empty()) {
    encoded.clear();
    encoder.Update(piece, encoded);
    result.Write(encoded);
    piece = in.Next();
  }
  encoded.clear();
  encoder.Finish(encoded);
  result.Write(encoded);
  result.WriteLine("");
}

void DecodeFileToFile(RunSettings& settings, const std::string& input, const std::string& output, bool tee) {
  std::unique_ptr<TextStream> out = CreateOutput(settings, output);
  ShowProgress(settings, "Reading", input);
  Input in(input);
  std::string_view piece = in.Next();
  ShowDone(settings);
  ShowProgress(settings, "Writing", output);
  Base64Decoder decoder;
  std::string decoded;
  while (!piece.empty() && !decoder.Stopped()) {
    decoded.clear();
    decoder.Update(piece, decoded);
    out->Write(decoded);
    piece = in.Next();
  }
  decoded.clear();
  decoder.Finish(decoded);
  out->Write(decoded);
  out->Close();
  ShowDone(settings);
  if (tee) ShowWrittenFile(settings, output);
}

void DecodeFileToResult(RunSettings& settings, const std::string& input) {
  // Decoded straight into the result as text lines: no temporary file whose
  // name others could guess or plant beforehand.
  ShowProgress(settings, "Reading", input);
  Input in(input);
  std::string_view piece = in.Next();
  ShowDone(settings);
  TextStream& result = settings.Output->Result();
  result.WriteLine("");
  LineEnds lines(result);
  Base64Decoder decoder;
  std::string decoded;
  while (!piece.empty() && !decoder.Stopped()) {
    decoded.clear();
    decoder.Update(piece, decoded);
    lines.Add(decoded);
    piece = in.Next();
  }
  decoded.clear();
  decoder.Finish(decoded);
  lines.Add(decoded);
  lines.Finish();
  result.WriteLine("");
}

void RunBase64(RunSettings& settings, bool encode, const std::string& value) {
  if (settings.UseFile.Found) {
    if (value.empty())
      StopWithError(exit_code::kNoBase64File,
                    "ERROR: No filename was provided with " + settings.ModeTag);
    if (!platform::FileExists(value == platform::kStandardInputName
                                  ? value
                                  : platform::ExpandFileName(value)))
      StopWithError(kReadFailCode, "ERROR: Could not access file: \"" + value + "\"");
    if (settings.Out.Found) {
      if (encode) {
        EncodeFileToFile(settings, value, settings.Out.Value1, settings.TeeOn);
      } else {
        DecodeFileToFile(settings, value, settings.Out.Value1, settings.TeeOn);
      }
    } else if (encode) {
      EncodeFileToResult(settings, value);
    } else {
      DecodeFileToResult(settings, value);
    }
    return;
  }
  if (value.empty())
    StopWithError(exit_code::kNoBase64Text,
                  "ERROR: No text input was provided with " + settings.ModeTag);
  WriteResult(settings, encode ? EncodeText(value) : DecodeText(value));
}

}  // namespace quorvid
