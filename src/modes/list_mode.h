// List mode and the result-line layouts shared with directory mode.
#pragma once

#include "cli/run_settings.h"

namespace quorvid {

/// Completes the line layout after the algorithm selection (labels, prefixes,
/// HashFormat, separator).
void SetUpLineLayout(RunSettings& settings);

/// Hashes every free word of the command line as a file or a text.
void RunListMode(RunSettings& settings);

}  // namespace quorvid
