#include "modes/verify.h"

#include "modes/unavailable.h"

namespace quorvid {

void RunVerify(RunSettings& settings) { ReportUnavailable(settings, "Verify"); }
void RunVerifyMany(RunSettings& settings) { ReportUnavailable(settings, "Verify many"); }
}  // namespace quorvid
