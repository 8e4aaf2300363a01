#include "modes/program_info.h"

#include "platform/path_rules.h"

namespace quorvid {

TFileVersionInfoRec MakeVersionInfo(const std::string& programPath, const std::string& folder) {
  TFileVersionInfoRec info;
  info.FileName = programPath.substr(platform::LastNameStart(programPath));
  size_t dot = info.FileName.find_last_of('.');
  if (dot == std::string::npos || dot == 0) {
    info.BaseName = info.FileName;
  } else {
    info.BaseName = info.FileName.substr(0, dot);
    info.Extension = info.FileName.substr(dot);
  }
  info.Folder = folder;
  info.ShortTitle = info.BaseName + " v" + kVersion;
  info.LongTitle = info.FileName + " v" + kFullVersion;
  info.Description = kDescription;
  info.OwnerLine = "Quorvid is owned and maintained by the Quorvid developers.";
  info.AuthorLine = "Written by the Quorvid developers; the README that comes with it tells more.";
  info.Note = "File info supplied";
  info.Ready = true;
  return info;
}

}  // namespace quorvid
