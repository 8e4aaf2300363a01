#include "modes/hash_lookup.h"

#include "modes/unavailable.h"

namespace quorvid {

bool PrepareHashLookup(RunSettings& settings) { ReportUnavailable(settings, "Hash lookup"); return false; }
}  // namespace quorvid
