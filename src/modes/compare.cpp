#include "modes/compare.h"

#include "modes/unavailable.h"

namespace quorvid {

void RunCompareMode(RunSettings& settings) { ReportUnavailable(settings, "Compare mode"); }
}  // namespace quorvid
