#include "modes/date_filter.h"

#include "modes/unavailable.h"

namespace quorvid {

void SetUpDateDisplay(RunSettings&) {}
bool SetUpDateFilter(RunSettings&) { return true; }
}  // namespace quorvid
