// The word rules that read one line of a checksum list. A line takes part
// only when it holds an asterisk: the list header, blank lines, comments and
// the two-space form of other tools never do.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "hashing/hash_choices.h"

namespace quorvid {

/// Word `index` (1-based) of `line` when every character of `separators`
/// separates words: a word is a maximal run of other characters, and leading
/// separators are skipped. "" when the line has fewer words.
std::string ListWord(std::string_view line, size_t index, std::string_view separators);

/// What one list line says.
struct TListEntryParts {
  bool IsEntry = false;      // the line holds an asterisk; nothing below is set otherwise
  std::string HashWord;      // the expected hash text
  std::string TypeWord;      // the algorithm word as written ("MD5" for the MD5 form)
  std::string FileName;      // the name after the asterisk, spaces kept
  THashChoices Algorithm = THashChoices::SHA2_256;
};

/// Reads one line:
/// - HashWord: word 1 when " ", "*" and "?" separate words;
/// - the MD5 form: a 32-character HashWord directly followed by " *", or
///   whose next word (" " and "?" separating) starts with "*": algorithm
///   MD5, TypeWord "MD5";
/// - the binary form of other tools, "HASH *NAME" with a 40, 64, 96 or
///   128-character hash: the algorithm of that length among SHA1 and SHA2
///   (TypeWord its list word: "SHA1", "SHA256", "SHA384", "SHA512");
/// - otherwise TypeWord is word 2 when " ", "*" and "?" separate words and
///   the algorithm is that word read as a list name (unknown: SHA2_256);
/// - FileName: word 2 when only "*" separates words.
/// Never fails: a line without "*" gives IsEntry = false.
TListEntryParts ParseListEntry(std::string_view line);

/// What one --vm line says.
struct TVerifyEntry {
  bool IsEntry = false;  // the hash word is a hash text; nothing below is set otherwise
  std::string HashWord;  // the hash as listed
  std::string FileName;  // the name, unescaped
  THashChoices NamedAlgorithm = THashChoices::None;  // the tag form's algorithm, when known
};

/// Reads one --vm line, in the first form that fits:
/// - a leading "\" marks the escaped lines of other tools: it is dropped,
///   and in the name "\\" stands for "\" and "\n" for a line end;
/// - the tag form "ALG (NAME) = HASH": the name between the first " (" and
///   the last ") = ", NamedAlgorithm from AlgorithmFromTagName;
/// - "HASH  NAME" and "HASH *NAME": the name is the rest of the line after
///   the two characters, spaces included;
/// - Quorvid's own "HASH ?TYPE*NAME": the name after the asterisk;
/// - any other line: words 1 and 2 when " ", "*" and "?" separate words.
/// IsEntry is false when the hash word is not a valid hash text (headers,
/// comments, blank lines).
TVerifyEntry ParseVerifyEntry(std::string_view line);

/// `text` padded with spaces on the right to `width` characters (UTF-8
/// characters, not bytes); never cut.
std::string PadRight(const std::string& text, size_t width);

}  // namespace quorvid
