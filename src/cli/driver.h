// The run driver: parse, validate, prepare the shared settings, run one mode.
#pragma once

#include <string>
#include <vector>

namespace quorvid {

/// Runs the program for `args` (argv without the program path) and returns
/// the process exit code. `programPath` is argv[0].
int RunProgram(const std::string& programPath, const std::vector<std::string>& args);

}  // namespace quorvid
