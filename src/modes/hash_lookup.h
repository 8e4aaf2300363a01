// Hash lookup (--hl): which files of a folder tree have one of a set of known
// hashes. The hashes come from a hash text, a list file or a URL; the walk
// itself is directory mode, which calls the hooks below for every file.
#pragma once

#include <string>
#include <vector>

#include "cli/run_settings.h"

namespace quorvid {

/// The first space-separated words of the lines of `lines` that do not
/// start with ";", sorted and with duplicates dropped (letters compared
/// without regard to case, the first spelling kept). When that leaves as
/// many lines as there were, `lines` is returned unchanged.
std::vector<std::string> ReduceToFirstColumn(const std::vector<std::string>& lines);

/// The words the digests are searched for, in list order: for every line
/// that is not empty and does not start with ";", its first word (" ", ","
/// and ";" separating), lower-cased. Lines without a word give none.
std::vector<std::string> LookupWordsOf(const std::vector<std::string>& lines);

/// Loads the hashes of HashLookup.Value1 into LookupWords. Stops the run on
/// the syntax-error screen with 116 (empty value, or not a valid hash text),
/// 104 (list file missing or unreadable), 108, or the URL list's codes (130,
/// 131, 132). Returns true when the walk may start.
bool PrepareHashLookup(RunSettings& settings);

// The directory walk calls the three below for --hl (DirModeKind 3).

/// Clears the "matched" state before the walk starts.
void StartHashLookup(RunSettings& settings);

/// Hashes the file at `path` under every selected algorithm (one read) and,
/// for every lookup word that some digest contains, writes "Hash
/// "<PrefixName><digest>" matches file "<path>"" straight into ResultStream
/// (no copy to standard output). The report names the walk's full path, so
/// `displayName` is not used. Returns false when the file cannot be hashed
/// (the walk counts it as an error; nothing is written).
bool LookupFile(RunSettings& settings, const std::string& path, const std::string& displayName);

/// The closing report after the walk: exit code 0 when a file matched;
/// otherwise 119 and "No files found in "<DirPath>" matching "<names>"
/// hashes" on standard error, naming the selected algorithms. Releases the
/// lookup words.
void FinishHashLookup(RunSettings& settings);

}  // namespace quorvid
