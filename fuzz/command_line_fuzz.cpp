// The option finder and the command-line checks over random argument lists:
// the 66 searches, the numeric option values, the argument statistics and the
// error rules must never crash, whatever the arguments look like.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/find_option.h"
#include "cli/option_table.h"
#include "modes/run_settings.h"
#include "cli/validation.h"
#include "fuzz_input.h"

using namespace quorvid;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  fuzz::FuzzInput input(data, size);
  std::vector<std::string> args = fuzz::SplitAtNul(input.Rest());

  RunSettings settings;
  settings.ProgramPath = "quorvid";
  settings.Args = MakeArgumentList(args);
  ParseCommandLine(settings);

  // Every argument the searches marked lies inside the list, and every
  // record that was found points at an argument.
  for (const TOptionRow& row : OptionTable()) {
    const TFindParamRec& rec = OptionRecord(settings, row);
    if (!rec.Found) continue;
    if (rec.ArgIndex < 0 || static_cast<size_t>(rec.ArgIndex) >= settings.Args.size()) std::abort();
  }

  settings.LastModeArgIndex = ComputeLastModeArgIndex(settings);
  // The error screen must not wait for a key or beep inside the fuzzer.
  settings.ErrorDelayOn = false;
  settings.AudibleErrorOn = false;
  TParamStatisticsRec stats = ComputeStatistics(settings);
  CheckCommandLine(settings, stats);

  // The free-standing number reader on every argument.
  for (const std::string& arg : args) ParseOptionNumber(arg);
  return 0;
}
