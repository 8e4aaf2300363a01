// Base64 (RFC 4648 alphabet, as MIME uses it): whole texts and streams.
#pragma once

#include <string>
#include <string_view>

namespace quorvid {

/// Base64 text of `bytes`: four characters per three bytes, the last group
/// padded with "=" or "==", no line breaks. The empty input gives "".
std::string EncodeText(std::string_view bytes);

/// Decodes a text given on the command line. The text is first completed with
/// "=" until its length in characters (every character counts) is a multiple
/// of four, then decoded leniently like `Base64Decoder`. Never fails.
std::string DecodeText(std::string_view text);

/// Encoder fed in pieces, so files of any size go through bounded memory.
class Base64Encoder {
 public:
  /// Appends to `out` the characters of every complete three-byte group.
  void Update(std::string_view bytes, std::string& out);
  /// Appends the last, padded group (nothing when no bytes are pending).
  void Finish(std::string& out);

 private:
  unsigned char pending_[2] = {0, 0};
  int pendingCount_ = 0;
};

/// Lenient decoder fed in pieces. Characters outside the alphabet (line
/// breaks, blanks, anything else) are skipped; the first "=" ends the data,
/// and a group of two or three characters before it gives one or two bytes.
/// A group left unfinished without any "=" is dropped by `Finish`.
class Base64Decoder {
 public:
  /// Appends to `out` the bytes of every group completed by `text`.
  void Update(std::string_view text, std::string& out);
  /// Ends the input; an unfinished group without "=" gives nothing.
  void Finish(std::string& out);
  /// True once an "=" was met: further input is ignored.
  bool Stopped() const { return stopped_; }

 private:
  unsigned int bits_ = 0;  // values of the pending group, 6 bits each
  int count_ = 0;          // pending values, 0 to 3
  bool stopped_ = false;
};

}  // namespace quorvid
