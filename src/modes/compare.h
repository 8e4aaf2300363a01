// Compare mode: two files under the selected algorithms.
#pragma once

#include "cli/run_settings.h"

namespace quorvid {

void RunCompareMode(RunSettings& settings);

}  // namespace quorvid
