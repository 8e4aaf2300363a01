// Turning the bytes of a list file into lines of UTF-8 text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvid {

/// Lines of a list file. A leading byte-order mark (UTF-8, UTF-16 LE or BE)
/// picks that encoding and is dropped; without one the bytes are read in
/// `codePage` (65001: taken as they are). Lines end in CR LF, LF or CR; a
/// line end at the very end does not start another, empty line.
std::vector<std::string> DecodeListText(std::string_view bytes, uint16_t codePage);

/// Splits UTF-8 text at CR LF, LF and CR.
std::vector<std::string> SplitTextLines(std::string_view text);

}  // namespace quorvid
