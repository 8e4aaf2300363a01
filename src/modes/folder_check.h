// Folders named on the command line (-d, and the folders -x and --vm check
// from) and the file names a checksum list gives.
#pragma once

#include <cstdint>
#include <string>

#include "modes/run_settings.h"

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
