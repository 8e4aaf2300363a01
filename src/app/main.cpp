// Quorvid: hands the process arguments to the run driver and exits with its code.
#include <string>
#include <vector>

#include "cli/driver.h"
#include "platform/process_start.h"

int main(int argc, char** argv) {
  quorvid::platform::PrepareStandardOutput();
  std::vector<std::string> args = quorvid::platform::ProgramArguments(argc, argv);
  const std::string program = args.empty() ? "quorvid" : args.front();
  if (!args.empty()) args.erase(args.begin());
  return quorvid::RunProgram(program, args);
}
