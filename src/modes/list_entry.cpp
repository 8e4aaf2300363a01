#include "modes/list_entry.h"

#include "hashing/algorithm_table.h"

namespace quorvid {

namespace {

constexpr std::string_view kHashSeparators = " *?";
constexpr std::string_view kTypeSeparators = " ?";
constexpr std::string_view kNameSeparators = "*";
constexpr size_t kMd5Length = 32;

}  // namespace

std::string ListWord(std::string_view line, size_t index, std::string_view separators) {
  size_t pos = 0;
  for (size_t n = 1;; ++n) {
    pos = line.find_first_not_of(separators, pos);
    if (pos == std::string_view::npos) return "";
    size_t end = line.find_first_of(separators, pos);
    if (end == std::string_view::npos) end = line.size();
    if (n == index) return std::string(line.substr(pos, end - pos));
    pos = end;
  }
}

TListEntryParts ParseListEntry(std::string_view line) {
  TListEntryParts parts;
  if (line.find('*') == std::string_view::npos) return parts;
  parts.IsEntry = true;
  parts.HashWord = ListWord(line, 1, kHashSeparators);
  parts.TypeWord = ListWord(line, 2, kTypeSeparators);
  parts.FileName = ListWord(line, 2, kNameSeparators);

  // MD5 entries carry no algorithm word: the hash is followed by " *".
  bool md5 = parts.HashWord.size() == kMd5Length &&
             (line.find(" *") == kMd5Length || (!parts.TypeWord.empty() && parts.TypeWord[0] == '*'));
  if (md5) {
    parts.Algorithm = THashChoices::MD5;
    parts.TypeWord = "MD5";
  } else {
    parts.TypeWord = ListWord(line, 2, kHashSeparators);
    parts.Algorithm = AlgorithmFromListName(parts.TypeWord);
    // "NONE" names no hash a list can hold; it is an unknown word here.
    if (parts.Algorithm == THashChoices::None) parts.Algorithm = THashChoices::SHA2_256;
  }
  return parts;
}

std::string PadRight(const std::string& text, size_t width) {
  size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count >= width ? text : text + std::string(width - count, ' ');
}

}  // namespace quorvid
