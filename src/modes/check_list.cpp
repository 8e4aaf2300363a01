#include "modes/check_list.h"

#include "modes/unavailable.h"

namespace quorvid {

void RunCheckList(RunSettings& settings) { ReportUnavailable(settings, "Checking a list"); }
}  // namespace quorvid
