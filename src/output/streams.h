// The output channels every mode writes through.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/run_settings.h"
#include "output/text_stream.h"

namespace quorvid {

/// Exit code for a write failure on standard output when no run is bound.
inline constexpr int32_t kDefaultWriteFailCode = 106;
/// Exit code when the summary file cannot be written (the run carries on).
inline constexpr int32_t kSummaryWriteFailCode = 105;

/// Binds the channels to the run, so that a write failure on standard output
/// ends it with the run's OutputWriteFailExitCode (106, 72 with --lm) through
/// StopRun. The driver calls it at start-up; the routines below that take
/// the settings bind them as well.
void BindOutputToRun(RunSettings& settings);

/// Result lines: standard output, or the -o / -g file once opened. Callers
/// that write without the tee copy (such as the -g header) use its
/// Write/WriteLine directly.
TextStream& ResultStream();
/// Standard output itself, which no option re-targets (the --vh list, the
/// tee display of a written file).
TextStream& ConsoleStream();

/// Writes a status text ("Reading ...", "Writing ... Done") to standard
/// error, so standard output carries results only.
void WriteStatus(std::string_view text);

/// Writes `line` and a line end to ResultStream, and to standard output too
/// when `tee` is true and ResultStream is a file. A write failure ends the
/// run with "File handling error occurred with ..." and the writer's code.
void WriteResultLine(std::string_view line, bool tee);

/// Opens `fileName` for writing (appending with -a when it exists as a file)
/// in the --cp code page with a 10 MiB buffer and makes it ResultStream (a
/// file opened before is closed first). Stops the run with `noNameCode` when
/// the name is empty and with `writeErrorCode` when it cannot be opened; a
/// later write failure on it ends the run with `writeErrorCode` too.
void OpenOutputFile(RunSettings& settings, const std::string& fileName, int32_t noNameCode,
                    int32_t writeErrorCode, const std::string& optionLabel);

/// Writes "success,total,errors,TRUE|FALSE" to the summary file (SummaryPath
/// when `fileName` is empty), always overwriting it; on failure reports
/// through SyntaxErrorExit, sets exit code 105 and returns.
void WriteSummaryFile(RunSettings& settings, bool aborted, const std::string& fileName,
                      int64_t success, int64_t total, int64_t errors);

/// Flushes and closes ResultStream (standard output itself stays open, and
/// ResultStream is standard output again afterwards); flushes standard output.
void CloseResultStream();

/// The code page files are written and read in: --cp when given, else 65001.
uint16_t OutputCodePage(const RunSettings& settings);

}  // namespace quorvid
