// Folders named on the command line (-d, and the folders -x and --vm check
// from) and the file names a checksum list gives.
#pragma once

#include <cstdint>
#include <string>

#include "modes/run_settings.h"
#include "platform/path_rules.h"

namespace quorvid {

/// Folder name clean-up, with the system's separator (written "/" here; "/"
/// is accepted for it on input): "/" and "//" give "/"; "." and "./" the
/// current folder; "..", "../" and any name holding "/.." are resolved by
/// changing the current folder (which stays changed) and give the new
/// current folder. Then CleanFolderEnd.
std::string NormalizeDirName(const std::string& dir);

/// The end of a folder name cleaned: trailing separators, "*" characters
/// and "." components are removed (on Windows also the dots and spaces the
/// system drops from names) and one separator is appended. "" stays "", a
/// relative name stays relative, and an absolute name never becomes
/// relative: its root stays ("/*" gives "/", "C:\." gives "C:").
std::string CleanFolderEnd(std::string folder, platform::TPathRules rules = platform::kSystemRules);

/// Makes `dirName` usable: resets ExitCode to 0; an empty name becomes the
/// current folder when `allowBlank`. When it does not name an existing
/// folder, stops the run (StopWithError) with `exitCode` and "ERROR: No
/// directory name provided!" (empty) or "ERROR: Could not access the
/// directory: ...".
void CheckDirectory(RunSettings& settings, std::string& dirName, int32_t exitCode,
                    bool allowBlank);

/// The file a list entry names: `fileName` when it names an existing file
/// (not a folder); otherwise, when it holds "\", the name with every "\"
/// turned into "/" if that names one (lists written on Windows); "" when
/// neither does.
std::string ResolveListedFile(const std::string& fileName);

/// The current folder is `folder` (unchanged when it is "") while this
/// lives, and the one before again afterwards. A folder that cannot be
/// entered stops the run (StopWithError) with "ERROR: Could not access the
/// directory: ..." and the no-directory code.
class CurrentFolderScope {
 public:
  explicit CurrentFolderScope(const std::string& folder);
  ~CurrentFolderScope();
  CurrentFolderScope(const CurrentFolderScope&) = delete;
  CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

 private:
  std::string saved_;
};

}  // namespace quorvid
