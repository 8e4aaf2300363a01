// Quorvid: hands the process arguments to the run driver and exits with its code.
#include <string>
#include <vector>

#include "cli/driver.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return quorvid::RunProgram(argc > 0 ? argv[0] : "quorvid", args);
}
