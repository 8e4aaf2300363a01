// Turning the bytes of a list file into lines of UTF-8 text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvid {

/// The longest line a list may hold; a longer one (or a file without line
/// ends, such as /dev/zero) is refused rather than read into memory.
inline constexpr size_t kMaxListLineBytes = 16 * 1024 * 1024;

/// Cuts the bytes of a list file into lines as they arrive, so a list of any
/// length is read in the memory of its longest line.
/// A leading byte-order mark (UTF-8, UTF-16 LE or BE) picks that encoding and
/// is dropped; without one the bytes are read in `codePage` (65001: taken as
/// they are). Lines end in CR LF, LF or CR; a line end at the very end does
/// not start another, empty line.
class ListLineSplitter {
 public:
  explicit ListLineSplitter(uint16_t codePage) : codePage_(codePage) {}

  /// Adds the next bytes of the file.
  void Feed(std::string_view bytes);
  /// No more bytes will come: an unfinished last line becomes a line.
  void Finish() { finished_ = true; }
  /// Takes the next complete line, in UTF-8. False when no complete line is
  /// held (more bytes are needed, or after Finish, none is left).
  bool Next(std::string& line);
  /// Bytes held that belong to no line taken yet.
  size_t PendingBytes() const { return bytes_.size() - start_; }

 private:
  bool PickEncoding();  // false while too few bytes have come to tell

  uint16_t codePage_;  // becomes the byte-order mark's encoding once read
  size_t unit_ = 1;    // bytes per code unit: 2 for UTF-16
  bool bigEndian_ = false;
  bool encodingKnown_ = false;
  bool finished_ = false;
  std::string bytes_;
  size_t start_ = 0;  // first byte not yet returned
  size_t scan_ = 0;   // where the search for the next line end goes on
};

/// Lines of a whole list file held in memory, as ListLineSplitter cuts them.
std::vector<std::string> DecodeListText(std::string_view bytes, uint16_t codePage);

/// Splits UTF-8 text at CR LF, LF and CR.
std::vector<std::string> SplitTextLines(std::string_view text);

}  // namespace quorvid
