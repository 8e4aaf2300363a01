#include "modes/generate_list.h"

#include "modes/unavailable.h"

namespace quorvid {

void OpenChecksumList(RunSettings& settings) { ReportUnavailable(settings, "Checksum list generation"); }
}  // namespace quorvid
