#include "modes/url_list.h"

#include <cstdio>
#include <exception>

#include "modes/exit_codes.h"
#include "modes/hash_arguments.h"
#include "modes/run_output.h"
#include "output/run_stop.h"
#include "support/http.h"

namespace quorvid {

namespace {

constexpr std::string_view kUrlSplitChars = "<>\n\r";

std::string_view FirstWord(std::string_view piece) {
  size_t start = piece.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  piece.remove_prefix(start);
  return piece.substr(0, piece.find(' '));
}

}  // namespace

std::vector<std::string> ExtractHashEntries(std::string_view body) {
  std::vector<std::string> entries;
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find_first_of(kUrlSplitChars, start);
    if (end == std::string_view::npos) end = body.size();
    std::string_view piece = body.substr(start, end - start);
    if (IsValidHashText(FirstWord(piece))) entries.emplace_back(piece);
    start = end + 1;
  }
  return entries;
}

std::vector<std::string> LoadUrlHashList(RunSettings& settings, const std::string& url,
                                         const std::string& modeTag, bool show) {
  if (url.empty()) StopWithError(exit_code::kNoValidUrl, "ERROR: No valid URL was provided with " + modeTag);

  std::string body;
  try {
    HttpGetOptions options;
    options.headers.push_back({"User-Agent", kUrlUserAgent});
    body = HttpGet(url, options);
  } catch (const std::exception& error) {  // HttpError, or memory running out
    StopWithError(exit_code::kUrlUnreachable,
                  "ERROR: Unable to access URL: \"" + url + "\" [" + error.what() + "]");
  }

  std::vector<std::string> entries = ExtractHashEntries(body);
  if (entries.empty())
    StopWithError(exit_code::kNoChecksumsAtUrl, "ERROR: No valid checksums found in URL: \"" + url + "\"");

  if (show) {
    for (size_t i = 0; i < entries.size(); ++i) {
      char number[32];
      std::snprintf(number, sizeof number, " %4zu: ", i);
      WriteResult(settings, number + entries[i]);
    }
    WriteResult(settings, "");
  }
  return entries;
}

void RunUrlListing(RunSettings& settings, const std::string& url, const std::string& tag) {
  LoadUrlHashList(settings, url, tag, true);
  settings.ExitCode = exit_code::kSuccess;
}

}  // namespace quorvid
