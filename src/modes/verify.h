// Verify one file (-y) against a hash, a hash list file or a URL, and verify
// many files (--vm) listed with their hashes. Neither needs the algorithm:
// every selected algorithm is tried (all fourteen without an algorithm option).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/run_settings.h"
#include "hashing/hash_choices.h"

namespace quorvid {

/// The members of `selected` whose hash texts are `length` characters long:
/// only they can ever equal a hash text of that length.
THashSet AlgorithmsOfLength(const THashChoicesArray& table, THashSet selected, size_t length);

/// Compares the file's digests (each computed once, the file read once) with
/// the first word of every line of `lines` (" ", "*" and "?" separating,
/// lower-cased). Writes "Match found -- <PrefixName><word>  <fileName>" to
/// ResultStream for every equal pair, in line order then algorithm order.
/// Sets ExitCode: 0 after a match; 119 and "No match found." when nothing
/// matched (an unreadable file matches nothing); 118 and "Invalid checksum
/// file." for a list without lines.
void VerifyFileAgainstList(RunSettings& settings, const std::vector<std::string>& lines,
                           const std::string& fileName);

/// -y: checks Verify.Value1 against Verify.Value2. Stops the run on the
/// syntax-error screen with 108 (a value missing), 104 (file or list file
/// missing, list unreadable), 116 (not a valid hash text) or the URL list's
/// codes (130, 131, 132); otherwise writes the result line(s), ends with 0,
/// 118 or 119 and closes ResultStream.
void RunVerify(RunSettings& settings);

/// Checks every line of `lines` that holds a space and does not start with
/// ";": word 1 is the hash, word 2 the file name (" ", "*" and "?" separate
/// words; a name that fails is retried with "\" turned into "/"). The first
/// selected algorithm whose digest equals the hash writes "Match found --
/// <PrefixName><hash>  <name>" and ors exit bit 4; a file that cannot be
/// read ors bit 1. Nothing matched at all: bit 1 and "No match found.".
void VerifyManyEntries(RunSettings& settings, const std::vector<std::string>& lines);

/// --vm: folder check of VerifyMany.Value2 (100), list loading of
/// VerifyMany.Value1 from the current folder (108, 104), the entries checked
/// from the folder (the current folder is restored afterwards), exit code 4
/// (only matches) turned into 0, ResultStream closed.
void RunVerifyMany(RunSettings& settings);

}  // namespace quorvid
