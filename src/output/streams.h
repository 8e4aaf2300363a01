// The output channels every mode writes through.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/run_settings.h"

namespace quorvid {

class TextStream;  // output/text_stream.h

/// Result lines: standard output, or the -o / -g file once opened.
TextStream& ResultStream();
/// Status lines on standard output that no option re-targets.
TextStream& ConsoleStream();

/// Writes `line` and a line end to ResultStream, and to standard output too
/// when `tee` is true. A write failure ends the run (message and exit code
/// of the stream's writer).
void WriteResultLine(std::string_view line, bool tee);

/// Opens `fileName` for writing (appending with -a) in the --cp code page and
/// makes it ResultStream. Stops the run with `noNameCode` when the name is
/// empty and with `writeErrorCode` when it cannot be written.
void OpenOutputFile(RunSettings& settings, const std::string& fileName, int32_t noNameCode,
                    int32_t writeErrorCode, const std::string& optionLabel);

/// Reads a whole text file into lines (CR LF, LF or CR; byte-order marks and
/// the --cp code page honoured; UTF-8 inside). Stops the run with `missingCode`
/// for an empty or missing name and `readErrorCode` when it cannot be read.
std::vector<std::string> LoadListFile(RunSettings& settings, const std::string& fileName,
                                      int32_t missingCode, const std::string& optionLabel,
                                      int32_t readErrorCode);

/// Writes "success,total,errors,TRUE|FALSE" to the summary file; on failure
/// reports through SyntaxErrorExit, sets exit code 105 and returns.
void WriteSummaryFile(RunSettings& settings, bool aborted, const std::string& fileName,
                      int64_t success, int64_t total, int64_t errors);

/// Flushes and closes ResultStream (standard output itself stays open).
void CloseResultStream();

}  // namespace quorvid
