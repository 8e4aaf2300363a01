// The 66 options in search order, and the parse that runs every search.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "modes/run_settings.h"

namespace quorvid {

/// What an option takes after its name.
enum class TOptionValues {
  None,    // presence only
  One,     // one value
  Two,     // two values
  Older,   // int32 days, 0..50000
  Newer,   // int32 days, 0..50000
  MaxSize, // int64 bytes, no range
  CodePage // uint16, 1..65535
};

struct TOptionRow {
  std::string_view Names;             // stored name string, verbatim
  TOptionValues Values;
  TFindParamRec RunSettings::*Field;  // rows 1 to 51 and 67; nullptr for the hash rows
  int HashIndex;                      // rows 52 to 66: index into HashOption; -1 otherwise
};

/// The 66 rows of the product's option list, and --progress after them.
inline constexpr int kOptionCount = 67;

/// The option table in search order.
const std::array<TOptionRow, kOptionCount>& OptionTable();

/// The option record a row fills inside `settings`.
TFindParamRec& OptionRecord(RunSettings& settings, const TOptionRow& row);

/// Names of the options whose presence makes a command line meaningful
/// outside list mode.
inline constexpr std::string_view kEssentialNames =
    "DEBUG DEBUG-MODE ERROR-DELAY AUDIBLE-ERROR H HELP ? HELP2 H2 ?? V VERBOSE BUILD "
    "VERSION-ONLY BUILD-ONLY INFO L LIST D DIR K COMPARE G GENERATE-LIST X CHECK VALIDATE "
    "Y VERIFY VM VERIFY-MANY VH VALID-HASHES J JUST-HASH HL HASH-LOOKUP E64 ENCODE D64 "
    "DECODE64 FILE USE-FILE URL USE-URL";

/// Runs the 66 searches over settings.Args in table order, filling every
/// option record, the typed numeric values and the known-names list.
void ParseCommandLine(RunSettings& settings);

}  // namespace quorvid
