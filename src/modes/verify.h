// Verify one file (-y) against a hash, a hash list file or a URL, and verify
// many files (--vm) listed with their hashes. Neither needs the algorithm:
// every selected algorithm is tried (all fourteen without an algorithm option).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/run_settings.h"
#include "hashing/hash_choices.h"
#include "output/list_file.h"

namespace quorvid {

/// The members of `selected` whose hash texts are `length` characters long:
/// only they can ever equal a hash text of that length.
THashSet AlgorithmsOfLength(const THashChoicesArray& table, THashSet selected, size_t length);

/// Compares the file's digests (each computed once, the file read once) with
/// the first word of every line `nextLine` gives (" ", "*" and "?" separating,
/// lower-cased). Writes "Match found -- <PrefixName><word>  <fileName>" to
/// ResultStream for every equal pair, in line order then algorithm order.
/// Sets ExitCode: 0 after a match; 119 and "No match found." when nothing
/// matched (an unreadable file matches nothing); 118 and "Invalid checksum
/// file." for a list without lines.
void VerifyFileAgainstList(RunSettings& settings, const TNextLine& nextLine,
                           const std::string& fileName);

/// -y: checks Verify.Value1 against Verify.Value2. Stops the run on the
/// syntax-error screen with 108 (a value missing), 104 (file or list file
/// missing, list unreadable), 116 (not a valid hash text) or the URL list's
/// codes (130, 131, 132); otherwise writes the result line(s), ends with 0,
/// 118 or 119 and closes ResultStream.
void RunVerify(RunSettings& settings);

/// Checks every entry `nextLine` gives, read by ParseVerifyEntry (lines
/// whose hash word is not a hash text are passed over). The algorithms tried
/// are the one a tag-form line names, else the selected ones of the hash's
/// length; a name that is missing is retried with "\" turned into "/".
/// Every entry writes one line to ResultStream:
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
/// (only matches) turned into 0, ResultStream closed.
void RunVerifyMany(RunSettings& settings);

}  // namespace quorvid
