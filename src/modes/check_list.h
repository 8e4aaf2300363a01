// Checking a folder against a checksum list (-x, --check, --validate): each
// entry's file is hashed with the algorithm its line names and reported as
// OK, FAILED or NOT FOUND, followed by counts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "modes/run_settings.h"
#include "output/list_file.h"

namespace quorvid {

/// What a check found.
struct TCheckCounts {
  int32_t Matched = 0;     // the file's hash equals the entry's
  int32_t Failed = 0;      // the file's hash differs
  int32_t FileErrors = 0;  // the file is missing or cannot be read
};

/// Checks every entry `nextLine` gives (lines without "*" are skipped) against the
/// files they name, relative names taken from the current folder. Writes the
/// OK (unless `hideMatches`), FAILED and NOT FOUND lines straight into
/// the result stream (no tee copy), adds to `counts` and ors the exit bits 1 (missing or
/// unreadable), 2 (failed) and 4 (passed) into ExitCode.
void CheckListEntries(RunSettings& settings, const TNextLine& nextLine, TCheckCounts& counts,
                      bool hideMatches);

/// The summary lines after the per-file lines (--sm adds the matched count).
std::vector<std::string> CheckSummaryLines(const TCheckCounts& counts, bool showMatched);

/// The -x run: folder check (100), list loading (108, 104), the check in the
/// folder given (the current folder is restored afterwards), the summary
/// lines, 118 for a list without a single entry, and exit code 4 (only
/// passes) turned into 0.
void RunCheckList(RunSettings& settings);

}  // namespace quorvid
