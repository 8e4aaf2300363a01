// The check of a parsed command line: which arguments were options, values,
// incomplete or not recognised, and the command-line error rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "modes/run_settings.h"

namespace quorvid {

/// "Custom Syntax Validation Record": the classes of the checked arguments.
struct TParamStatisticsRec {
  bool SyntaxOk = false;
  bool Computed = false;
  uint16_t OptionCount = 0, ValueCount = 0, InlineCount = 0, IncompleteCount = 0,
           UnrecognisedCount = 0, OutsideCount = 0;
  // Each entry: the argument (quoted when it holds a space or ";") and one space.
  std::string OptionList, ValueList, InlineList, IncompleteList, UnrecognisedList, OutsideList;
  std::string EssentialFound;
  bool MissingEssential = false;
  std::string Name = "Custom Syntax Validation Record";
};

/// `text` in double quotes when it holds a space or ";", else unchanged.
std::string QuotedWhenSpaced(std::string_view text);

/// The last argument position the validation checks: the largest of the
/// mode options' positions, and the position after -d (its folder).
int64_t ComputeLastModeArgIndex(const RunSettings& settings);

/// Classifies the arguments 0 .. settings.LastModeArgIndex by status; later
/// ones only go to the outside list.
TParamStatisticsRec ComputeStatistics(const RunSettings& settings);

/// The help option names present in the known-names list, written as typed:
/// "-H --HELP -? --H2 --HELP2 --?? --VERSION-ONLY --BUILD-ONLY --INFO".
std::string HelpNamesText(const RunSettings& settings);

/// Applies the command-line error rules in order. The first that applies sets
/// HelpSections, reports through SyntaxErrorExit and makes this return false.
bool CheckCommandLine(RunSettings& settings, const TParamStatisticsRec& stats);

}  // namespace quorvid
