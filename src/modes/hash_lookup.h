// Hash lookup (--hl): which files of a folder tree have one of a set of known
// hashes. The hashes come from a hash text, a list file or a URL; the walk
// itself is directory mode, which calls the hooks below for every file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "modes/run_settings.h"

namespace quorvid {

/// The words --hl looks for in every digest, built from a list's lines. Only
/// the distinct words are held, packed in one text, and a digest is matched
/// against any number of them in time that does not grow with their count.
class LookupWordList {
 public:
  LookupWordList() = default;
  LookupWordList(const LookupWordList&) = delete;
  LookupWordList& operator=(const LookupWordList&) = delete;

  /// Adds one line of the list. A line that starts with ";" holds no word;
  /// otherwise its first space-separated word counts once, whatever its
  /// letter case. Throws std::bad_alloc when the words cannot be held.
  void AddLine(std::string_view line);

  /// Ends the list and fixes the words looked for: of each counted word, its
  /// first part when " ", "," and ";" separate, lower-cased; empty ones are
  /// dropped. They keep the list's order when every line gave a word of its
  /// own, and are sorted otherwise (a list with comments or repeats).
  void Finish();

  /// The words, in the order matches are reported.
  size_t Count() const { return words_.size(); }
  std::string_view Word(size_t i) const { return View(words_[i]); }

  /// Positions of the words `digest` contains (letters compared as they
  /// are: digests and words are lower case), ascending.
  void Matching(std::string_view digest, std::vector<uint32_t>& positions) const;

 private:
  struct Span {
    uint64_t start;
    uint32_t length;
  };
  std::string_view View(Span span) const { return std::string_view(text_).substr(span.start, span.length); }
  // Open addressing over `spans`: 0 is a free slot, n + 1 stands for spans[n].
  static void Insert(std::vector<uint32_t>& slots, uint32_t n, std::string_view word);
  uint32_t Find(std::string_view word) const;  // in counted_; 0 when absent

  std::string text_;             // every counted word, lower-cased, one after another
  std::vector<Span> counted_;    // the counted words, in list order
  std::vector<uint32_t> slots_;  // finds a counted word while the list is read,
                                 // then a word looked for
  uint64_t lineCount_ = 0;

  std::vector<Span> words_;     // the words looked for, in report order
  std::vector<size_t> lengths_;  // their distinct lengths, ascending
};

/// Loads the hashes of HashLookup.Value1 into the run's lookup words. Stops
/// the run (StopWithError) with 116 (empty value, or not a valid hash text),
/// 104 (list file missing or unreadable, or too large to hold), 108, or the
/// URL list's codes (130, 131, 132).
void PrepareHashLookup(RunSettings& settings);

// The directory walk calls the three below when --hl is given.

/// Clears the "matched" state before the walk starts.
void StartHashLookup(RunSettings& settings);

/// For every lookup word that one of the file's `digests` (those of the
/// selected algorithms) contains, writes "Hash "<PrefixName><digest>"
/// matches file "<path>"" straight into the result stream (no copy to standard
/// output), and remembers that a file matched.
void LookupDigests(RunSettings& settings, const std::string& path, const TGeneratedHashes& digests);

/// The closing report after the walk: exit code 0 when a file matched;
/// otherwise 119 and "No files found in "<DirPath>" matching "<names>"
/// hashes" on standard error, naming the selected algorithms. Releases the
/// lookup words.
void FinishHashLookup(RunSettings& settings);

}  // namespace quorvid
