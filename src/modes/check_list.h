// Checking a folder against a checksum list (-x).
#pragma once

#include "cli/run_settings.h"

namespace quorvid {

void RunCheckList(RunSettings& settings);

}  // namespace quorvid
