#include "modes/base64_mode.h"

#include "modes/unavailable.h"

namespace quorvid {

void RunBase64(RunSettings& settings, bool, const std::string&) { ReportUnavailable(settings, "Base64"); }
}  // namespace quorvid
