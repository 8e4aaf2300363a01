// Placeholder for modes not built yet: a clear error, never a fake result.
#pragma once

#include <cstdio>

#include "cli/run_settings.h"

namespace quorvid {

inline void ReportUnavailable(RunSettings& settings, const char* what) {
  std::fprintf(stderr, "ERROR: %s is not available yet in this build\n", what);
  settings.ExitCode = 2;
}

}  // namespace quorvid
