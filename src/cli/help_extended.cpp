#include "cli/help_extended.h"

namespace quorvid {

void AppendExtendedHelp(const RunSettings&, std::string&) {}

}  // namespace quorvid
