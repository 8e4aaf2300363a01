#include "modes/date_filter.h"

#include "modes/unavailable.h"

namespace quorvid {

void SetUpDateDisplay(RunSettings&) {}
bool SetUpDateFilter(RunSettings&) { return true; }
std::string FileDateString(RunSettings&, const std::string&, const std::string&, const std::string&, bool) { return ""; }
std::string DateString(RunSettings&, const std::string&, const std::string&, const std::string&, bool) { return ""; }
bool InDateRange(const RunSettings&, const std::string&) { return true; }
}  // namespace quorvid
