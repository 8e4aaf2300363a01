// What the modes write through: the driver's output channels, reached
// through the run's settings, and the error screen for errors the run
// carries on after.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "modes/run_settings.h"

namespace quorvid {

/// The code page files are written and read in: --cp when given, else UTF-8.
uint16_t FileCodePage(const RunSettings& settings);

/// Writes `line` as a result line, and to standard output too with -t.
void WriteResult(RunSettings& settings, std::string_view line);

/// Makes `fileName` the result stream (appended to with -a when it exists).
/// Stops the run (StopWithError) with `noNameCode` when the name is empty
/// ("ERROR: No filename provided for output! <optionLabel>") and with
/// `writeErrorCode` when it cannot be opened; a later write failure on it
/// ends the run with `writeErrorCode` too.
void OpenOutputFile(RunSettings& settings, const std::string& fileName, int32_t noNameCode,
                    int32_t writeErrorCode, const std::string& optionLabel);

/// Writes the -u summary "success,total,errors,TRUE|FALSE". One that cannot
/// be written is reported with exit code 105, and the run carries on: the
/// results are already written.
void WriteRunSummary(RunSettings& settings, bool aborted, int64_t success, int64_t total,
                     int64_t errors);

}  // namespace quorvid
