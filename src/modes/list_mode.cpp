#include "modes/list_mode.h"

#include "modes/unavailable.h"

namespace quorvid {

void SetUpLineLayout(RunSettings&) {}
void WriteFileLine(RunSettings&, const THashAlgorithmRec&, const std::string&, const std::string&, bool, bool&, const std::string&, const std::string&) {}
void WriteTextLine(RunSettings&, const THashAlgorithmRec&, const std::string&, bool, const std::string&) {}
void RunListMode(RunSettings& settings) { ReportUnavailable(settings, "List mode"); }
}  // namespace quorvid
