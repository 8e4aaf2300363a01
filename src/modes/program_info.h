// Who the program is: its version and the record its banner, build line
// and checksum-list header are made from.
#pragma once

#include <string>

namespace quorvid {

inline constexpr const char* kVersion = "5.4.0";
inline constexpr const char* kFullVersion = "5.4.0.1301";
inline constexpr const char* kDescription =
    "Generate Hashes for Files and Text Strings (MD5, SHA1, SHA2, SHA3, Blake2, Blake3, "
    "XXHash64 and more)";

struct TFileVersionInfoRec {
  bool Ready = false;
  std::string FileName;   // program file name with extension
  std::string BaseName;   // without extension: the name shown everywhere
  std::string Extension;  // with its dot, "" when none
  std::string Folder;     // with trailing "/"
  std::string ShortTitle; // BaseName + " v5.4.0"
  std::string LongTitle;  // FileName + " v5.4.0.1301"
  std::string Description;
  std::string OwnerLine;
  std::string AuthorLine;
  std::string Note;
};

/// Splits `programPath` (argv[0]) into file name, base name and extension.
/// The folder is `folder` as given (already with its trailing "/").
TFileVersionInfoRec MakeVersionInfo(const std::string& programPath, const std::string& folder);

}  // namespace quorvid
