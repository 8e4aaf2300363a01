// What the program says about itself: version record, banner and build line.
#pragma once

#include <cstdint>
#include <string>

#include "cli/run_settings.h"

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

/// " x64", " x86", " arm64" ...: the architecture word of the banner.
std::string ArchitectureWord();

/// " using GCC 12.2.0": the compiler that built this program.
std::string CompilerText();

/// The build moment in seconds since 1970 (honours SOURCE_DATE_EPOCH).
int64_t BuildEpoch();

/// "dd mmm yyyy" of the build date, in UTC, English month names.
std::string BuildDateText();
/// "dd mmm yyyy @ hh:00:00" of the build time, in UTC.
std::string BuildTimeText();

/// The three banner lines and the empty line after them.
std::string BannerText(const TFileVersionInfoRec& info);
/// The build line with its line end.
std::string BuildLineText(const TFileVersionInfoRec& info);

/// Writes the banner and/or the build line to standard error, once per run:
/// the first call that writes anything sets settings.BannerShown and later
/// calls write nothing.
void ShowBanner(RunSettings& settings, bool withBuildLine, bool withBanner);

}  // namespace quorvid
