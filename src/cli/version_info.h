// The banner and the build line.
#pragma once

#include <cstdint>
#include <string>

#include "modes/program_info.h"
#include "modes/run_settings.h"

namespace quorvid {

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
