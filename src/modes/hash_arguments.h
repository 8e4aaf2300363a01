// Telling hash texts, list files and URLs apart in -y and --hl values.
#pragma once

#include <string>
#include <string_view>

namespace quorvid {

enum class HashArgumentKind { Missing, FileMissing, ListFile, ListFileMissing, HashText, InvalidHash, Url };

/// True when `text` has the length of one of the catalogue's digests (16, 32,
/// 40, 64, 96 or 128 characters) and only hex digits, in either case.
bool IsValidHashText(std::string_view text);

/// Url when "http://" or "https://" appears anywhere (any case); else, when
/// the value holds ":", "\", "/" or ".", ListFile if it names an existing
/// file (not a folder) and ListFileMissing if not; else HashText or
/// InvalidHash. Never returns Missing or FileMissing: callers set those.
HashArgumentKind ClassifyHashArgument(const std::string& value);

}  // namespace quorvid
