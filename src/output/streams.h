// The output channels of a run: standard output, the result stream (standard
// output or the -o / -g file) and the summary file. The run's driver owns
// them; modes reach them through the run's settings.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "output/text_stream.h"

namespace quorvid {

class OutputChannels {
 public:
  /// Result lines go to standard output until a file is opened. A write
  /// failure on standard output ends the run with `standardOutputFailCode`.
  explicit OutputChannels(int32_t standardOutputFailCode);
  /// Writes out what is held (failures are ignored here: CloseResult reports).
  ~OutputChannels();
  OutputChannels(const OutputChannels&) = delete;
  OutputChannels& operator=(const OutputChannels&) = delete;

  /// The code a write failure on standard output ends the run with (106, or
  /// 72 with --lm).
  void SetStandardOutputFailCode(int32_t code) { standardOutputFailCode_ = code; }

  /// Result lines: standard output, or the file opened last. Callers that
  /// write without the tee copy (such as the -g header) use it directly.
  TextStream& Result();
  /// Standard output itself, which no option re-targets (the --vh list, the
  /// tee copy of a written file).
  TextStream& Console();

  /// Writes `line` and a line end to Result(), and to standard output too
  /// when `tee` is true and the result goes to a file.
  void WriteResultLine(std::string_view line, bool tee);

  /// Opens `fileName` for writing (appended to with `append` when it exists
  /// as a file) in `codePage` with a 10 MiB buffer and makes it the result
  /// stream, closing a file opened before; a signal that ends the process
  /// still writes out what it holds. False, with `errorText`, when it cannot
  /// be opened. A later write failure on it ends the run with
  /// `writeFailCode`, its message on standard error.
  bool OpenResultFile(const std::string& fileName, bool append, uint16_t codePage,
                      int32_t writeFailCode, std::string& errorText);

  /// Flushes and closes the result file (once; the result stream is standard
  /// output again afterwards), and flushes standard output. A failure ends
  /// the run with the writer's code.
  void CloseResult();

 private:
  // A written result that cannot reach its file or device ends the run: the
  // message goes to standard error and the run stops with `code`. Only the
  // first failure is reported; the stop's unwinding may fail again.
  void EndRunAfterWriteFailure(TextStream& stream, int32_t code);

  bool ending_ = false;
  int32_t standardOutputFailCode_;
  std::unique_ptr<TextStream> standardOutput_;
  std::unique_ptr<TextStream> resultFile_;  // the -o or -g file while open
};

/// "File handling error occurred with "<name>" -- <errorText>".
std::string FileErrorMessage(const std::string& name, const std::string& errorText);

/// Writes "success,total,errors,TRUE|FALSE" and a line end to `fileName` in
/// `codePage`, always overwriting it; `noLinks` refuses a name that is a
/// symbolic link (the default file, in a folder others may write to).
/// Returns the file error message when it cannot be written.
std::optional<std::string> WriteSummaryFile(const std::string& fileName, bool noLinks,
                                            uint16_t codePage, bool aborted, int64_t success,
                                            int64_t total, int64_t errors);

/// Writes a status text ("Reading ...", "Writing ... Done") to standard
/// error, after what standard output holds, so results and status lines keep
/// their order on a terminal that shows both.
void WriteStatus(OutputChannels& channels, std::string_view text);

}  // namespace quorvid
