#include "platform/process_start.h"

namespace quorvid::platform {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + (argc > 0 ? argc : 0));
}

void PrepareStandardOutput() {}

}  // namespace quorvid::platform
