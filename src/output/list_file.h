// Reading the list files a run is given (-x, --vm, -y and --hl lists, the -e
// exclusion list): line by line, in the memory of the longest line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "output/list_text.h"
#include "platform/text_file.h"

namespace quorvid {

/// One list file open for reading: byte-order marks and the --cp code page
/// are honoured, lines end in CR LF, LF or CR, and every line is UTF-8.
class ListFile {
 public:
  /// Opens `fileName`, read in `codePage` when it has no byte-order mark.
  /// Stops the run (StopWithError) with `missingCode` when the name is empty
  /// ("ERROR: No filename provided for input! <optionLabel>") or names no
  /// existing file, and with `readErrorCode` when it cannot be opened.
  ListFile(const std::string& fileName, uint16_t codePage, int32_t missingCode,
           const std::string& optionLabel, int32_t readErrorCode);

  /// Takes the next line; false at the end of the file. A read failure, or a
  /// line longer than kMaxListLineBytes, stops the run with "File handling
  /// error occurred with ..." and `readErrorCode`; result lines written
  /// before it are kept.
  bool Next(std::string& line);

  /// Stops the run as a read failure does, for a list too large to hold.
  [[noreturn]] void StopCannotHold();

 private:
  [[noreturn]] void Stop(const std::string& errorText);

  std::string name_;
  int32_t readErrorCode_;
  platform::TextFileInput input_;
  ListLineSplitter splitter_;
  bool ended_ = false;
};

/// Gives a list's next line; false at its end. Modes take their lines this
/// way, so a list file is read as it goes and a URL's list from memory.
using TNextLine = std::function<bool(std::string& line)>;

/// The lines of `list` from a list file.
inline TNextLine LinesOf(ListFile& list) {
  return [&list](std::string& line) { return list.Next(line); };
}

/// The lines of `lines`, held in memory; `lines` must outlive the result.
inline TNextLine LinesOf(const std::vector<std::string>& lines) {
  return [&lines, at = size_t{0}](std::string& line) mutable {
    if (at == lines.size()) return false;
    line = lines[at++];
    return true;
  };
}

/// Every line of a list file, held in memory (the -e list), with the stops
/// of ListFile; a list too large to hold stops with `readErrorCode`.
std::vector<std::string> LoadListFile(const std::string& fileName, uint16_t codePage,
                                      int32_t missingCode, const std::string& optionLabel,
                                      int32_t readErrorCode);

}  // namespace quorvid
