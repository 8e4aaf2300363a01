// --e64 / --d64 of a text or, with --file, of a file.
#pragma once

#include <string>

#include "cli/run_settings.h"

namespace quorvid {

/// Runs the base64 case for `value` (encode when `encode`, else decode).
void RunBase64(RunSettings& settings, bool encode, const std::string& value);

}  // namespace quorvid
