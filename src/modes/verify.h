// Verify one file (-y) and verify many files (--vm).
#pragma once

#include "cli/run_settings.h"

namespace quorvid {

void RunVerify(RunSettings& settings);
void RunVerifyMany(RunSettings& settings);

}  // namespace quorvid
