#include "cli/driver.h"

namespace quorvid {

int RunProgram(const std::string&, const std::vector<std::string>&) { return 2; }

}  // namespace quorvid
