// Checksum list generation (-g with -d): the list file and its header. The
// entries themselves are the directory walk's file lines, written with the
// list marker of the algorithm as label.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "modes/run_settings.h"
#include "support/date_time.h"

namespace quorvid {

/// Opens the -g list as the result stream, in the --cp code page (appending with
/// -a when it exists). Stops the run with 115 when the name is empty and 107
/// when the file cannot be created or opened.
void OpenChecksumList(RunSettings& settings);

/// The six header lines of a list written at `now` (local date value) in
/// code page `codePage`. None holds an asterisk, so every reader skips them.
std::vector<std::string> ChecksumListHeader(const std::string& programPath, TDateTime now,
                                            uint16_t codePage);

/// Writes the header straight into the result stream (never copied by -t).
void WriteChecksumListHeader(RunSettings& settings);

/// Ends a -g run's output: the list is flushed (a write failure ends the run
/// with 107) and "Writing "<list>" ... Done" goes to standard error.
void ReportChecksumListWritten(RunSettings& settings);

}  // namespace quorvid
