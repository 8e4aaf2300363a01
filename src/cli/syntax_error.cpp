#include "cli/syntax_error.h"

#include <cstdio>
#include <cstdlib>

namespace quorvid {

void SyntaxErrorExit(RunSettings& settings, int32_t exitCode, const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  settings.ExitCode = exitCode;
}

void StopRun(RunSettings&, int32_t exitCode) { std::exit(exitCode); }

}  // namespace quorvid
