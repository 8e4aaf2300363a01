#include "modes/list_mode.h"

#include "modes/unavailable.h"

namespace quorvid {

void SetUpLineLayout(RunSettings&) {}
void RunListMode(RunSettings& settings) { ReportUnavailable(settings, "List mode"); }
}  // namespace quorvid
