// Decoding list files: byte-order marks, code pages and line ends, as
// every -x, --vm, -y, -e and --hl list is read, whole and in pieces.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "output/list_text.h"

using namespace quorvid;

namespace {

// The code pages worth reaching: UTF-8, both UTF-16 orders, ASCII, Latin-1,
// a Windows and a DOS code page, and one that does not exist.
constexpr uint16_t kCodePages[] = {65001, 1200, 1201, 20127, 28591, 1252, 437, 1};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 256 * 1024) return 0;
  fuzz::FuzzInput input(data, size);
  uint16_t codePage = kCodePages[input.Number<uint8_t>() % std::size(kCodePages)];
  const size_t piece = 1 + input.Number<uint8_t>() % 7;
  std::string_view bytes = input.Rest();

  std::vector<std::string> lines = DecodeListText(bytes, codePage);
  for (const std::string& line : lines)
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();

  // Without a mark, UTF-8 bytes are taken as they are: splitting is all.
  bool marked = bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF" ||
                bytes.substr(0, 3) == "\xEF\xBB\xBF";
  if (codePage == 65001 && !marked && lines != SplitTextLines(bytes)) std::abort();

  // Read as a list file is, in pieces of any size, the lines are the same.
  ListLineSplitter splitter(codePage);
  std::vector<std::string> fed;
  std::string line;
  for (size_t at = 0; at < bytes.size(); at += piece) {
    splitter.Feed(bytes.substr(at, piece));
    while (splitter.Next(line)) fed.push_back(line);
  }
  splitter.Finish();
  while (splitter.Next(line)) fed.push_back(line);
  if (fed != lines) std::abort();
  return 0;
}
