#include "platform/read_buffer.h"

#include <memory>

namespace quorvid::platform {

uint8_t* ThreadReadBuffer() {
  thread_local ReadBuffer buffer(kThreadReadBufferSize);
  return buffer.Data();
}

uint8_t* ThreadSmallReadBuffer() {
  // Page-aligned, like the big one, for the same quicker copies.
  struct alignas(4096) Small {
    uint8_t bytes[kThreadSmallReadBufferSize];
  };
  thread_local std::unique_ptr<Small> buffer(new Small);
  return buffer->bytes;
}

}  // namespace quorvid::platform
