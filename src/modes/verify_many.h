// --vm: every line of a list names a file and its hash; the algorithm is
// found by trying the selected ones of the hash's length, unless the line
// names it.
#pragma once

#include "modes/run_settings.h"
#include "output/list_file.h"

namespace quorvid {

/// Checks every entry `nextLine` gives, read by ParseVerifyEntry (lines
/// whose hash word is not a hash text are passed over). The algorithms tried
/// are the one a tag-form line names, else the selected ones of the hash's
/// length; a name that is missing is retried with "\" turned into "/".
/// Every entry writes one result line:
/// - "Match found -- <PrefixName><hash>  <name>" (exit bit 4) for the first
///   algorithm whose digest equals the hash;
/// - "Match failed -- <hash>  <name>" (bit 2) when the file was read and no
///   tried algorithm gives the hash;
/// - "File error -- <hash>  <name>" (bit 1) when the file is missing or
///   cannot be read.
/// Nothing matched at all: bit 1 and "No match found.".
void VerifyManyEntries(RunSettings& settings, const TNextLine& nextLine);

/// --vm: folder check of VerifyMany.Value2 (100), list loading of
/// VerifyMany.Value1 from the current folder (108, 104), the entries checked
/// from the folder (the current folder is restored afterwards), exit code 4
/// (only matches) turned into 0.
void RunVerifyMany(RunSettings& settings);

}  // namespace quorvid
