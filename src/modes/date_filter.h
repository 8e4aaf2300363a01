// Date display for --nohash and -#, and the --bd/--ad/--older/--newer filters.
#pragma once

#include <string>

#include "modes/run_settings.h"

namespace quorvid {

/// Fills DateTimeFormat, DateStampFormat, ZeroDateText and DateRuler from --df.
void SetUpDateDisplay(RunSettings& settings);

/// A file's last-write date through `pattern` (fallback pattern and exit code
/// 129 when it cannot be used; with -$ a failure stops the run with 78).
std::string FileDateString(RunSettings& settings, const std::string& fileName,
                           const std::string& pattern, const std::string& fallbackPattern,
                           bool quoted);

/// A typed "mm/dd/yyyy" date through `pattern`, with the same fall-backs.
std::string DateString(RunSettings& settings, const std::string& dateText,
                       const std::string& pattern, const std::string& fallbackPattern,
                       bool quoted);

/// True when the file's date lies in the --bd/--ad/--older/--newer window.
bool InDateRange(const RunSettings& settings, const std::string& fileName);

/// Computes the date filter bounds. A --bd or --ad value that cannot be read
/// stops the run with 78 under -$ (StopWithError).
void SetUpDateFilter(RunSettings& settings);

}  // namespace quorvid
