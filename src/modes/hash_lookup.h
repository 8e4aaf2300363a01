// Hash lookup (--hl): the hashes to look for, then the directory walk reports matches.
#pragma once

#include "cli/run_settings.h"

namespace quorvid {

/// Loads the hashes to look up. Returns false when the run must end.
bool PrepareHashLookup(RunSettings& settings);

}  // namespace quorvid
