// Conversion of the program's UTF-8 text into the --cp code page of written files.
#pragma once

#include <cstdint>
#include <string>

namespace quorvid {

/// True when text can be converted into code page `id` (65001 needs nothing).
bool CodePageSupported(uint16_t id);

}  // namespace quorvid
