// The word rules that read checksum list lines (-x) and the word splitting of
// --vm, -y and --hl, over arbitrary lines and separator sets.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "modes/hash_arguments.h"
#include "modes/list_entry.h"

using namespace quorvid;

namespace {

bool HoldsAnyOf(const std::string& word, std::string_view separators) {
  return word.find_first_of(separators) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  fuzz::FuzzInput input(data, size);
  std::string_view separators = input.Text().substr(0, 8);
  size_t index = input.Number<uint8_t>() % 6;
  std::string_view line = input.Rest();

  // A word never holds a separator and is always a piece of the line.
  std::string word = ListWord(line, index, separators);
  if (HoldsAnyOf(word, separators) || line.find(word) == std::string_view::npos) std::abort();

  // The separator sets the program uses: -x, --vm and -y, --hl.
  for (std::string_view set : {std::string_view(" *?"), std::string_view(" ?"),
                               std::string_view("*"), std::string_view(" "),
                               std::string_view(" ,;")})
    for (size_t n = 1; n <= 3; ++n)
      if (HoldsAnyOf(ListWord(line, n, set), set)) std::abort();

  TListEntryParts parts = ParseListEntry(line);
  if (parts.IsEntry != (line.find('*') != std::string_view::npos)) std::abort();
  if (parts.IsEntry) {
    if (HoldsAnyOf(parts.HashWord, " *?") || HoldsAnyOf(parts.FileName, "*")) std::abort();
    if (parts.Algorithm == THashChoices::None) std::abort();
  }

  // A --vm entry always has a hash text; its name is a piece of the line,
  // unless an escaped line shortened it.
  TVerifyEntry entry = ParseVerifyEntry(line);
  if (entry.IsEntry) {
    if (!IsValidHashText(entry.HashWord)) std::abort();
    if (line.find(entry.HashWord) == std::string_view::npos) std::abort();
    if (line.front() != '\\' && line.find(entry.FileName) == std::string_view::npos) std::abort();
  } else if (!entry.HashWord.empty() || !entry.FileName.empty()) {
    std::abort();
  }

  std::string padded = PadRight(std::string(line.substr(0, 300)), index * 20);
  if (padded.size() < std::min<size_t>(line.size(), 300)) std::abort();
  return 0;
}
