#include "modes/directory_mode.h"

#include "modes/unavailable.h"

namespace quorvid {

std::string NormalizeDirName(const std::string& dir) { return dir; }
void CheckDirectory(RunSettings&, int) {}
void RunDirectoryMode(RunSettings& settings) { ReportUnavailable(settings, "Directory mode"); }
}  // namespace quorvid
