// Date display for --nohash and -#, and the --bd/--ad/--older/--newer filters.
#pragma once

#include "cli/run_settings.h"

namespace quorvid {

/// Fills DateTimeFormat, DateStampFormat, ZeroDateText and DateRuler from --df.
void SetUpDateDisplay(RunSettings& settings);

/// Computes the date filter bounds. Returns false when the run must end
/// (an error was reported and ExitCode set).
bool SetUpDateFilter(RunSettings& settings);

}  // namespace quorvid
