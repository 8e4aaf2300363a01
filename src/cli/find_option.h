// The option finder: where an option stands on the command line and what its
// values are. Nothing is parsed left to right; the driver asks once per option.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "modes/find_param.h"

namespace quorvid {

/// Splits an option name string into its words (space, comma and semicolon
/// separate; empty words are dropped).
std::vector<std::string> SplitNameWords(std::string_view names);

/// Case-insensitive equality of two ASCII texts (option words, argument texts).
bool SameText(std::string_view a, std::string_view b);

/// Builds the argument list from the process arguments (program path excluded).
TParamStatusArray MakeArgumentList(const std::vector<std::string>& args);

/// Searches `args` for the option whose name words are `names`, taking
/// `valueCount` (0, 1 or 2) following arguments as values. Fills `rec`,
/// updates the statuses of the arguments it matches or consumes and appends
/// the name words to `knownNames`. Never fails: a missing value is "", a value
/// slot that holds another option marks the option Incomplete.
void FindOption(TParamStatusArray& args, std::string_view names, int valueCount,
                TFindParamRec& rec, std::string& knownNames);

/// Numeric reading of an option value: the text before the first "." with
/// every "," removed, as a signed 64-bit decimal; nullopt when it is empty or
/// not a number.
std::optional<int64_t> ParseOptionNumber(std::string_view text);

/// Converts rec.Value1 into a number: `defaultValue` when unreadable; clamped
/// into [minValue, maxValue] compared as unsigned 64-bit numbers (so negative
/// numbers count as too large) when `ranged`. Sets IsDefaulted when the result
/// equals the default or was clamped, replaces Value1 by the number's decimal
/// text and returns the number.
int64_t ConvertNumericOption(TFindParamRec& rec, int64_t defaultValue, bool ranged,
                             int64_t minValue, int64_t maxValue);

}  // namespace quorvid
