// --url: show the hashes found at a URL.
#pragma once

#include <string>

#include "cli/run_settings.h"

namespace quorvid {

void RunUrlListing(RunSettings& settings, const std::string& url, const std::string& tag);

}  // namespace quorvid
