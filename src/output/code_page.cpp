#include "output/code_page.h"

#include "platform/text_encoding.h"

namespace quorvid {

bool CodePageSupported(uint16_t id) { return platform::CodePageAvailable(id); }

}  // namespace quorvid
