#include "modes/base64_mode.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "cli/syntax_error.h"
#include "output/streams.h"
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
constexpr int32_t kReadFailCode = 71;

std::string FileErrorMessage(const std::string& name, const std::string& errorText) {
  return "File handling error occurred with \"" + name + "\" -- " + errorText;
}

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

// An input file read in pieces; a failure is reported once and stops the run.
class Input {
 public:
  Input(RunSettings& settings, const std::string& name) : settings_(settings), name_(name), buffer_(kChunkSize) {}

  // Opens the file; false after reporting when it cannot be opened.
  bool Open() {
    if (reader_.Open(name_)) return true;
    const std::string errorText = platform::LastErrorText();
    if (!platform::FileExists(name_)) {
      Report("ERROR: Could not access file: \"" + name_ + "\"");
    } else {
      Report(FileErrorMessage(name_, errorText));
    }
    return false;
  }

  // The next piece, empty at the end; nullopt-like false after a reported error.
  bool Next(std::string_view& piece) {
    const int64_t count = reader_.Read(buffer_.data(), buffer_.size());
    if (count < 0) {
      Report(FileErrorMessage(name_, platform::LastErrorText()));
      return false;
    }
    piece = std::string_view(reinterpret_cast<const char*>(buffer_.data()), static_cast<size_t>(count));
    return true;
  }

 private:
  void Report(const std::string& message) {
    ConsoleStream().Flush();
    SyntaxErrorExit(settings_, kReadFailCode, message);
  }

  RunSettings& settings_;
  std::string name_;
  platform::FileReader reader_;
  std::vector<uint8_t> buffer_;
};

// The output file of the file-to-file forms: bytes as they are, no code page.
std::unique_ptr<TextStream> CreateOutput(RunSettings& settings, const std::string& name) {
  platform::OutputTarget target;
  std::string errorText;
  if (!platform::OpenOutputTarget(name, platform::WriteMode::CreateOrTruncate, target, errorText)) {
    ConsoleStream().Flush();
    SyntaxErrorExit(settings, settings.OutputWriteFailExitCode, FileErrorMessage(name, errorText));
    return nullptr;
  }
  auto stream = std::make_unique<TextStream>(target, name, platform::kUtf8CodePage, kChunkSize);
  // A write that fails (disk full, device gone) ends the run at once.
  stream->SetFailureHandler([&settings](TextStream& failed) {
    ConsoleStream().Flush();
    platform::WriteStdErr(FileErrorMessage(failed.Name(), failed.ErrorText()) + std::string(kLineEnd));
    StopRun(settings, settings.OutputWriteFailExitCode);
  });
  return stream;
}

// Status texts go to standard error: a decoded file sent to standard
// output stays byte for byte what was encoded.
void ShowProgress(std::string_view verb, const std::string& name) {
  WriteStatus(std::string(verb) + " \"" + name + "\" ");
}

void ShowDone() { WriteStatus("... Done" + std::string(kLineEnd)); }

// The tee display of a written file: an empty line, its lines, a line end.
void ShowWrittenFile(RunSettings& settings, const std::string& name) {
  TextStream& console = ConsoleStream();
  console.WriteLine("");
  Input input(settings, name);
  if (!input.Open()) return;
  LineEnds lines(console);
  std::string_view piece;
  while (input.Next(piece) && !piece.empty()) lines.Add(piece);
  lines.Finish();
  console.WriteLine("");
}

}  // namespace

void EncodeFileToFile(RunSettings& settings, const std::string& input, const std::string& output, bool tee) {
  ShowProgress("Reading", input);
  Input in(settings, input);
  if (!in.Open()) return;
  ShowDone();
  ShowProgress("Writing", output);
  std::unique_ptr<TextStream> out = CreateOutput(settings, output);
  if (!out) return;
  Base64Encoder encoder;
  std::string encoded;
  std::string_view piece;
  for (;;) {
    if (!in.Next(piece)) return;
    if (piece.empty()) break;
    encoded.clear();
    encoder.Update(piece, encoded);
    out->Write(encoded);
  }
  encoded.clear();
  encoder.Finish(encoded);
  out->Write(encoded);
  out->Close();
  ShowDone();
  if (tee) ShowWrittenFile(settings, output);
}

void EncodeFileToResult(RunSettings& settings, const std::string& input) {
  ShowProgress("Reading", input);
  Input in(settings, input);
  if (!in.Open()) return;
  // The first piece is read before "Done", so a file that cannot be read at
  // all is reported before anything is written.
  std::string_view piece;
  if (!in.Next(piece)) return;
  ShowDone();
  TextStream& result = ResultStream();
  result.WriteLine("");
  Base64Encoder encoder;
  std::string encoded;
  while (!piece.empty()) {
    encoded.clear();
    encoder.Update(piece, encoded);
    result.Write(encoded);
    if (!in.Next(piece)) return;
  }
  encoded.clear();
  encoder.Finish(encoded);
  result.Write(encoded);
  result.WriteLine("");
}

void DecodeFileToFile(RunSettings& settings, const std::string& input, const std::string& output, bool tee) {
  std::unique_ptr<TextStream> out = CreateOutput(settings, output);
  if (!out) return;
  ShowProgress("Reading", input);
  Input in(settings, input);
  if (!in.Open()) return;
  std::string_view piece;
  if (!in.Next(piece)) return;
  ShowDone();
  ShowProgress("Writing", output);
  Base64Decoder decoder;
  std::string decoded;
  while (!piece.empty() && !decoder.Stopped()) {
    decoded.clear();
    decoder.Update(piece, decoded);
    out->Write(decoded);
    if (!in.Next(piece)) return;
  }
  decoded.clear();
  decoder.Finish(decoded);
  out->Write(decoded);
  out->Close();
  ShowDone();
  if (tee) ShowWrittenFile(settings, output);
}

void DecodeFileToResult(RunSettings& settings, const std::string& input) {
  // Decoded straight into the result as text lines: no temporary file whose
  // name others could guess or plant beforehand.
  ShowProgress("Reading", input);
  Input in(settings, input);
  if (!in.Open()) return;
  std::string_view piece;
  if (!in.Next(piece)) return;
  ShowDone();
  TextStream& result = ResultStream();
  result.WriteLine("");
  LineEnds lines(result);
  Base64Decoder decoder;
  std::string decoded;
  while (!piece.empty() && !decoder.Stopped()) {
    decoded.clear();
    decoder.Update(piece, decoded);
    lines.Add(decoded);
    if (!in.Next(piece)) return;
  }
  decoded.clear();
  decoder.Finish(decoded);
  lines.Add(decoded);
  lines.Finish();
  result.WriteLine("");
}

void RunBase64(RunSettings& settings, bool encode, const std::string& value) {
  if (settings.UseFile.Found) {
    if (value.empty()) {
      settings.Base64Case = 1;
      SyntaxErrorExit(settings, 121, "ERROR: No filename was provided with " + settings.ModeTag);
    } else if (!platform::FileExists(value == platform::kStandardInputName
                                          ? value
                                          : platform::ExpandFileName(value))) {
      settings.Base64Case = 3;
      SyntaxErrorExit(settings, kReadFailCode, "ERROR: Could not access file: \"" + value + "\"");
    } else {
      settings.Base64Case = 2;
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
    }
    CloseResultStream();
    return;
  }
  if (value.empty()) {
    settings.Base64Case = 4;
    SyntaxErrorExit(settings, 120, "ERROR: No text input was provided with " + settings.ModeTag);
    return;
  }
  settings.Base64Case = 5;
  WriteResultLine(encode ? EncodeText(value) : DecodeText(value), settings.TeeOn);
  CloseResultStream();
}

}  // namespace quorvid
