#include "output/streams.h"

#include <cstdio>

namespace quorvid {

void WriteResultLine(std::string_view line, bool) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}
void OpenOutputFile(RunSettings&, const std::string&, int32_t, int32_t, const std::string&) {}
std::vector<std::string> LoadListFile(RunSettings&, const std::string&, int32_t, const std::string&, int32_t) { return {}; }
void WriteSummaryFile(RunSettings&, bool, const std::string&, int64_t, int64_t, int64_t) {}
void CloseResultStream() { std::fflush(stdout); }

}  // namespace quorvid
