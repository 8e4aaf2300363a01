#include "output/code_page.h"

namespace quorvid {

bool CodePageSupported(uint16_t) { return true; }

}  // namespace quorvid
