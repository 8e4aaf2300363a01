#include "modes/hash_lookup.h"

#include "modes/unavailable.h"

namespace quorvid {

bool PrepareHashLookup(RunSettings& settings) { ReportUnavailable(settings, "Hash lookup"); return false; }

// Not built yet: PrepareHashLookup above already ends every --hl run, so the
// walk never reaches these.
void StartHashLookup(RunSettings&) {}
bool LookupFile(RunSettings&, const std::string&, const std::string&) { return true; }
void FinishHashLookup(RunSettings& settings) { ReportUnavailable(settings, "Hash lookup"); }
}  // namespace quorvid
