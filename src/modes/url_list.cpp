#include "modes/url_list.h"

#include <cstdio>
#include <exception>

#include "cli/syntax_error.h"
#include "modes/hash_arguments.h"
#include "output/streams.h"
#include "support/http.h"

namespace quorvid {

namespace {

constexpr std::string_view kUrlSplitChars = "<>\n\r";

[[noreturn]] void StopWith(RunSettings& settings, int32_t exitCode, const std::string& message) {
  SyntaxErrorExit(settings, exitCode, message);
  StopRun(settings, exitCode);
}

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
  if (url.empty()) StopWith(settings, 130, "ERROR: No valid URL was provided with " + modeTag);

  std::string body;
  try {
    HttpGetOptions options;
    options.headers.push_back({"User-Agent", kUrlUserAgent});
    body = HttpGet(url, options);
  } catch (const std::exception& error) {  // HttpError, or memory running out
    StopWith(settings, 131,
             "ERROR: Unable to access URL: \"" + url + "\" [" + error.what() + "]");
  }

  std::vector<std::string> entries = ExtractHashEntries(body);
  if (entries.empty())
    StopWith(settings, 132, "ERROR: No valid checksums found in URL: \"" + url + "\"");

  if (show) {
    for (size_t i = 0; i < entries.size(); ++i) {
      char number[32];
      std::snprintf(number, sizeof number, " %4zu: ", i);
      WriteResultLine(number + entries[i], settings.TeeOn);
    }
    WriteResultLine("", settings.TeeOn);
  }
  return entries;
}

void RunUrlListing(RunSettings& settings, const std::string& url, const std::string& tag) {
  LoadUrlHashList(settings, url, tag, true);
  CloseResultStream();
  settings.ExitCode = 0;
}

}  // namespace quorvid
