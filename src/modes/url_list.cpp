#include "modes/url_list.h"

#include "modes/unavailable.h"

namespace quorvid {

void RunUrlListing(RunSettings& settings, const std::string&, const std::string&) { ReportUnavailable(settings, "URL listing"); }
}  // namespace quorvid
