// Compare mode: two files under the selected algorithms.
#pragma once

#include "modes/run_settings.h"

namespace quorvid {

/// Compares Compare.Value1 and Compare.Value2 under each selected algorithm,
/// one "TRUE  " / "FALSE " / "ERROR " line each with upper-case digests.
/// Exit code: 98 when the last differing comparison differs, 97 when a file
/// could not be read; 112 (70 with --lm) for a missing name and 109 (71)
/// for a name that is not an existing file stop the run (StopWithError).
void RunCompareMode(RunSettings& settings);

}  // namespace quorvid
