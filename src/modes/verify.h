// Verify one file (-y) against a hash, a hash list file or a URL. No
// algorithm is needed: every selected algorithm is tried (all fourteen
// without an algorithm option).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "modes/run_settings.h"
#include "hashing/hash_choices.h"
#include "output/list_file.h"

namespace quorvid {

/// The members of `selected` whose hash texts are `length` characters long:
/// only they can ever equal a hash text of that length.
THashSet AlgorithmsOfLength(const THashChoicesArray& table, THashSet selected, size_t length);

/// Compares the file's digests (each computed once, the file read once) with
/// the first word of every line `nextLine` gives (" ", "*" and "?" separating,
/// lower-cased). Writes a result line "Match found -- <PrefixName><word>
/// <fileName>" for every equal pair, in line order then algorithm order.
/// Sets ExitCode: 0 after a match; 119 and "No match found." when nothing
/// matched (an unreadable file matches nothing); 118 and "Invalid checksum
/// file." for a list without lines.
void VerifyFileAgainstList(RunSettings& settings, const TNextLine& nextLine,
                           const std::string& fileName);

/// -y: checks Verify.Value1 against Verify.Value2. Stops the run on the
/// syntax-error screen with 108 (a value missing), 104 (file or list file
/// missing, list unreadable), 116 (not a valid hash text) or the URL list's
/// codes (130, 131, 132); otherwise writes the result line(s) and ends with
/// 0, 118 or 119.
void RunVerify(RunSettings& settings);

}  // namespace quorvid
