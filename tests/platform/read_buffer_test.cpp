#include "platform/read_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace quorvid::platform {
namespace {

// Every byte asked for is usable and the start is page-aligned, for sizes
// below, at and above a huge page; buffers alive together never overlap.
TEST(ReadBuffer, HoldsEveryByteAskedForFromAPageBoundary) {
  const size_t sizes[] = {1, 4096, 256 << 10, 2u << 20, (2u << 20) + 1, 5u << 20};
  for (size_t size : sizes) {
    ReadBuffer a(size);
    ReadBuffer b(size);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(a.Data()) % 4096, 0u) << size;
    std::memset(a.Data(), 0xA5, size);
    std::memset(b.Data(), 0x5A, size);
    EXPECT_EQ(a.Data()[0], 0xA5) << size;
    EXPECT_EQ(a.Data()[size - 1], 0xA5) << size;
    EXPECT_EQ(b.Data()[size - 1], 0x5A) << size;
  }
}

}  // namespace
}  // namespace quorvid::platform
