// Checksum list generation: the list file and its header.
#pragma once

#include "cli/run_settings.h"

namespace quorvid {

/// Opens the -g list as ResultStream (stops with 115 or 107).
void OpenChecksumList(RunSettings& settings);

}  // namespace quorvid
