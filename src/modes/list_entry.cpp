#include "modes/list_entry.h"

#include "hashing/algorithm_catalogue.h"
#include "modes/hash_arguments.h"

namespace quorvid {

namespace {

constexpr std::string_view kHashSeparators = " *?";
constexpr std::string_view kTypeSeparators = " ?";
constexpr std::string_view kNameSeparators = "*";

// The binary form "HASH *NAME" names no algorithm: its hash's length does,
// read as the SHA family's tools write it.
struct LengthName {
  THashChoices choice;
  const char* typeWord;
};
constexpr LengthName kBinaryFormLengths[] = {
    {THashChoices::SHA1, "SHA1"},
    {THashChoices::SHA2_256, "SHA256"},
    {THashChoices::SHA2_384, "SHA384"},
    {THashChoices::SHA2_512, "SHA512"},
};

// The name of an escaped line: "\\" is a backslash, "\n" a line end.
std::string Unescape(std::string_view name) {
  std::string plain;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 1 < name.size() && (name[i + 1] == '\\' || name[i + 1] == 'n')) {
      plain += name[i + 1] == 'n' ? '\n' : '\\';
      ++i;
    } else {
      plain += name[i];
    }
  }
  return plain;
}

// "ALG (NAME) = HASH"; false when the line is not of that form.
bool ReadTagForm(std::string_view line, TVerifyEntry& entry) {
  const size_t open = line.find(" (");
  const size_t close = line.rfind(") = ");
  if (open == std::string_view::npos || close == std::string_view::npos || close < open + 2)
    return false;
  const std::string_view algorithm = line.substr(0, open);
  const std::string_view hash = line.substr(close + 4);
  if (algorithm.empty() || algorithm.find(' ') != std::string_view::npos || !IsValidHashText(hash))
    return false;
  entry.HashWord = std::string(hash);
  entry.FileName = std::string(line.substr(open + 2, close - open - 2));
  entry.NamedAlgorithm = AlgorithmFromTagName(algorithm);
  return true;
}

bool ReadBinaryForm(TListEntryParts& parts) {
  for (const LengthName& entry : kBinaryFormLengths) {
    if (parts.HashWord.size() != static_cast<size_t>(AlgorithmRow(entry.choice).hashLength))
      continue;
    parts.Algorithm = entry.choice;
    parts.TypeWord = entry.typeWord;
    return true;
  }
  return false;
}

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
  const size_t md5Length = static_cast<size_t>(AlgorithmRow(THashChoices::MD5).hashLength);
  bool md5 = parts.HashWord.size() == md5Length &&
             (line.find(" *") == md5Length || (!parts.TypeWord.empty() && parts.TypeWord[0] == '*'));
  if (md5) {
    parts.Algorithm = THashChoices::MD5;
    parts.TypeWord = "MD5";
  } else if (line.find(" *") == parts.HashWord.size() && ReadBinaryForm(parts)) {
    // other tools' binary form: the hash's length names the algorithm
  } else {
    parts.TypeWord = ListWord(line, 2, kHashSeparators);
    parts.Algorithm = AlgorithmFromListName(parts.TypeWord);
    // "NONE" names no hash a list can hold; it is an unknown word here.
    if (parts.Algorithm == THashChoices::None) parts.Algorithm = THashChoices::SHA2_256;
  }
  return parts;
}

TVerifyEntry ParseVerifyEntry(std::string_view line) {
  TVerifyEntry entry;
  const bool escaped = !line.empty() && line.front() == '\\';
  if (escaped) line.remove_prefix(1);
  const size_t hashEnd = line.find(' ');
  const std::string_view head = line.substr(0, hashEnd);
  if (ReadTagForm(line, entry)) {
    // the tag form names its algorithm
  } else if (hashEnd != std::string_view::npos && hashEnd + 1 < line.size() &&
             IsValidHashText(head) && (line[hashEnd + 1] == ' ' || line[hashEnd + 1] == '*')) {
    entry.HashWord = std::string(head);
    entry.FileName = std::string(line.substr(hashEnd + 2));
  } else if (hashEnd != std::string_view::npos && hashEnd + 1 < line.size() &&
             IsValidHashText(head) && line[hashEnd + 1] == '?' &&
             line.find('*', hashEnd) != std::string_view::npos) {
    entry.HashWord = std::string(head);
    entry.FileName = std::string(line.substr(line.find('*', hashEnd) + 1));
  } else if (hashEnd != std::string_view::npos) {
    entry.HashWord = ListWord(line, 1, kHashSeparators);
    entry.FileName = ListWord(line, 2, kHashSeparators);
  }
  entry.IsEntry = IsValidHashText(entry.HashWord);
  if (!entry.IsEntry) return TVerifyEntry{};
  if (escaped) entry.FileName = Unescape(entry.FileName);
  return entry;
}

std::string PadRight(const std::string& text, size_t width) {
  size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count >= width ? text : text + std::string(width - count, ' ');
}

}  // namespace quorvid
