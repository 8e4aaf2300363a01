// Directory mode: hashing the files of a folder tree that match masks. The
// same walk writes checksum lists (-g), looks up hashes (--hl) and lists bare
// hashes (-j).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/run_settings.h"

namespace quorvid {

/// Folder name clean-up: "/" and "//" give "/"; "." and "./" the current
/// folder; "..", "../" and any name holding "/.." are resolved by changing
/// the current folder (which stays changed) and give the new current folder.
/// Then trailing "/" and "*" characters and trailing "/." components are
/// removed and one "/" is appended. "" stays "", a relative name stays
/// relative, and an absolute name never becomes relative ("/*" gives "/").
std::string NormalizeDirName(const std::string& dir);

/// Makes `dirName` usable: resets ExitCode to 0; an empty name becomes the
/// current folder when `allowBlank`. When it does not name an existing
/// folder, reports "ERROR: No directory name provided!" (empty) or "ERROR:
/// Could not access the directory: ..." through SyntaxErrorExit and stops the
/// run with `exitCode`.
void CheckDirectory(RunSettings& settings, std::string& dirName, int exitCode, bool allowBlank);

/// CheckDirectory on DirPath with BlankDirAllowed (the -d folder).
void CheckDirectory(RunSettings& settings, int exitCode);

/// The mask string from the validation's outside list (each argument followed
/// by a space, quoted when it holds a space or ";"): split at spaces outside
/// double quotes, empty pieces dropped, joined with ";", every double quote
/// removed. "*" when nothing is left.
std::string MaskTextFromOutsideList(std::string_view outsideList);

/// True when one of the exclusion texts occurs in `path`, letters compared
/// without regard to case. `lowerExclusions` must already be lower-cased
/// (LowerCaseUtf8); empty texts never match.
bool IsExcludedPath(const std::string& path, const std::vector<std::string>& lowerExclusions);

/// `path` with the leading `folder` removed once (compared without regard to
/// case), so a subfolder that repeats the folder's name survives; `path`
/// unchanged when it does not start with `folder`.
std::string RelativeDisplayName(const std::string& path, const std::string& folder);

/// Walks DirPath and writes one result per matching file (also serves -g,
/// --hl and -j), then the counts, the summary file and the "No files found"
/// report. Sets ExitCode (0, bit 1 for unreadable files, 77 when nothing was
/// processed, 252 after an interrupt, which ends the process at once).
void RunDirectoryMode(RunSettings& settings);

}  // namespace quorvid
