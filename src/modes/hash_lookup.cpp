#include "modes/hash_lookup.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <new>

#include "hashing/algorithm_catalogue.h"
#include "modes/exit_codes.h"
#include "modes/hash_arguments.h"
#include "modes/list_entry.h"
#include "modes/run_output.h"
#include "modes/url_list.h"
#include "output/list_file.h"
#include "output/run_stop.h"
#include "platform/console.h"

namespace quorvid {

namespace {

namespace ec = exit_code;

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

}  // namespace

void LookupWordList::Insert(std::vector<uint32_t>& slots, uint32_t n, std::string_view word) {
  const size_t mask = slots.size() - 1;
  for (size_t at = std::hash<std::string_view>{}(word) & mask;; at = (at + 1) & mask) {
    if (slots[at] == 0) {
      slots[at] = n + 1;
      return;
    }
  }
}

uint32_t LookupWordList::Find(std::string_view word) const {
  if (slots_.empty()) return 0;
  const size_t mask = slots_.size() - 1;
  for (size_t at = std::hash<std::string_view>{}(word) & mask; slots_[at] != 0; at = (at + 1) & mask)
    if (View(counted_[slots_[at] - 1]) == word) return slots_[at];
  return 0;
}

void LookupWordList::AddLine(std::string_view line) {
  ++lineCount_;
  if (!line.empty() && line.front() == ';') return;
  const std::string word = AsciiLower(ListWord(line, 1, " "));
  if (Find(word) != 0) return;
  // The table stays at most half full, so a search ends soon.
  if (2 * (counted_.size() + 1) > slots_.size()) {
    std::vector<uint32_t> larger(std::max<size_t>(64, 2 * slots_.size()), 0);
    for (uint32_t n = 0; n < counted_.size(); ++n) Insert(larger, n, View(counted_[n]));
    slots_ = std::move(larger);
  }
  counted_.push_back({text_.size(), static_cast<uint32_t>(word.size())});
  text_ += word;
  Insert(slots_, static_cast<uint32_t>(counted_.size() - 1), word);
}

void LookupWordList::Finish() {
  // The list is read as it came when nothing was dropped from it; a list
  // with comments or repeats gives its words in sorted order.
  const bool keepOrder = counted_.size() == lineCount_;
  if (!keepOrder)
    std::sort(counted_.begin(), counted_.end(),
              [&](Span a, Span b) { return View(a) < View(b); });

  words_.reserve(counted_.size());
  for (Span counted : counted_) {
    const std::string_view text = View(counted);
    // A sorted list was cut to first words, so one that starts with ";" is
    // a comment there.
    if (!keepOrder && !text.empty() && text.front() == ';') continue;
    // The first part of the word, a piece of it; an empty one would be part
    // of every digest, so it matches nothing.
    const size_t first = text.find_first_not_of(" ,;");
    if (first == std::string_view::npos) continue;
    const size_t end = std::min(text.find_first_of(" ,;", first), text.size());
    words_.push_back({counted.start + first, static_cast<uint32_t>(end - first)});
    lengths_.push_back(end - first);
  }
  counted_ = {};
  std::sort(lengths_.begin(), lengths_.end());
  lengths_.erase(std::unique(lengths_.begin(), lengths_.end()), lengths_.end());

  slots_.assign(std::max<size_t>(64, std::bit_ceil(2 * words_.size())), 0);
  for (uint32_t n = 0; n < words_.size(); ++n) Insert(slots_, n, View(words_[n]));
}

void LookupWordList::Matching(std::string_view digest, std::vector<uint32_t>& positions) const {
  positions.clear();
  const size_t mask = slots_.size() - 1;
  // A word is in the digest when one of the digest's pieces of its length is
  // that word: every piece of every length the words have is looked up.
  for (size_t length : lengths_) {
    if (length > digest.size()) break;
    for (size_t at = 0; at + length <= digest.size(); ++at) {
      const std::string_view piece = digest.substr(at, length);
      for (size_t slot = std::hash<std::string_view>{}(piece) & mask; slots_[slot] != 0;
           slot = (slot + 1) & mask)
        if (View(words_[slots_[slot] - 1]) == piece) positions.push_back(slots_[slot] - 1);
    }
  }
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
}

void PrepareHashLookup(RunSettings& settings) {
  settings.ModeTag = "(--hl|--hash-lookup)";
  const std::string& value = settings.HashLookup.Value1;
  if (value.empty())
    StopWithError(ec::kNoValidHash, "ERROR: Need one hash or one hash file for for evaluation!");

  auto words = std::make_shared<LookupWordList>();
  switch (ClassifyHashArgument(value)) {
    case HashArgumentKind::Url:
      for (const std::string& line : LoadUrlHashList(settings, value, settings.ModeTag, false))
        words->AddLine(line);
      break;
    case HashArgumentKind::ListFile: {
      ListFile list(value, FileCodePage(settings), ec::kNoChecksumFile, settings.ModeTag,
                    ec::kChecksumFileUnreadable);
      try {
        std::string line;
        while (list.Next(line)) words->AddLine(line);
      } catch (const std::bad_alloc&) {
        words.reset();
        list.StopCannotHold();
      }
      break;
    }
    case HashArgumentKind::ListFileMissing:
      StopWithError(ec::kChecksumFileUnreadable, "ERROR: Could not access file: \"" + value + "\"");
    case HashArgumentKind::HashText:
      words->AddLine(value);
      break;
    default:  // InvalidHash; the other kinds are never produced here
      StopWithError(ec::kNoValidHash, "ERROR: No valid hash provided! -- \"" + value + "\"");
  }
  words->Finish();
  settings.LookupWords = std::move(words);
  settings.LookupMatched = false;
}

void StartHashLookup(RunSettings& settings) { settings.LookupMatched = false; }

void LookupDigests(RunSettings& settings, const std::string& path, const TGeneratedHashes& digests) {
  if (!settings.LookupWords) return;
  const THashChoicesArray& table = settings.AlgorithmTable;
  TextStream& out = settings.Output->Result();
  std::vector<uint32_t> positions;
  for (int m = 1; m < kHashChoiceCount; ++m) {
    if (!InSet(settings.SelectedHashes, ChoiceAt(m))) continue;
    const std::string& digest = digests[m];
    // Containment, not equality: a list may hold parts of hashes. One line
    // per word found, in the words' order.
    settings.LookupWords->Matching(digest, positions);
    for (size_t i = 0; i < positions.size(); ++i) {
      settings.LookupMatched = true;
      out.WriteLine("Hash \"" + table[m].PrefixName + digest + "\" matches file \"" + path + "\"");
    }
  }
}

void FinishHashLookup(RunSettings& settings) {
  if (settings.LookupMatched) {
    settings.ExitCode = exit_code::kSuccess;
  } else {
    settings.ExitCode = ec::kNoChecksumMatch;
    platform::WriteStdErr("No files found in \"" + settings.DirPath + "\" matching \"" +
                          SelectedNamesList(settings.SelectedHashes) + "\" hashes" +
                          std::string(kLineEnd));
  }
  settings.LookupWords.reset();
}

}  // namespace quorvid
