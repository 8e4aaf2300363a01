// Hash lists fetched from the web, and the --url mode that shows them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "modes/run_settings.h"

namespace quorvid {

/// The browser-like name sent with every fetch; some sites refuse other clients.
inline constexpr const char* kUrlUserAgent = "Mozilla/5.0 (compatible; fpweb)";

/// Cuts `body` at "<", ">", LF and CR and returns, in body order, every piece
/// whose first space-separated word is a valid hash text, each piece whole.
std::vector<std::string> ExtractHashEntries(std::string_view body);

/// Fetches `url` and returns its hash entries (see ExtractHashEntries). With
/// `show`, lists them as result lines " %4d: %s" and one empty line. Stops
/// the run (StopWithError): 130 "ERROR: No valid URL was provided with %s" (`modeTag`) for an
/// empty url, 131 "ERROR: Unable to access URL: "%s" [%s]" when the fetch
/// fails, 132 "ERROR: No valid checksums found in URL: "%s"" when no entry is
/// found. Nothing is written before these checks pass.
std::vector<std::string> LoadUrlHashList(RunSettings& settings, const std::string& url,
                                         const std::string& modeTag, bool show);

/// --url: lists the hashes found at `url`, exit code 0.
void RunUrlListing(RunSettings& settings, const std::string& url, const std::string& tag);

}  // namespace quorvid
