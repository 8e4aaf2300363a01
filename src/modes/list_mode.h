// List mode: every free word of the command line hashed as a file or a text.
#pragma once

#include "modes/run_settings.h"

namespace quorvid {

/// Hashes every free word of the command line as a file (read once for all
/// the selected algorithms) or as a text, writes the -c count and the -u
/// summary.
void RunListMode(RunSettings& settings);

}  // namespace quorvid
