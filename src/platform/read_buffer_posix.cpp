#include "platform/read_buffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <memory>
#include <new>

namespace quorvid::platform {
namespace {

constexpr size_t kHugePage = 2u << 20;

}  // namespace

ReadBuffer::ReadBuffer(size_t size) {
  const size_t wanted = (size + kHugePage - 1) / kHugePage * kHugePage;
  // One huge page more than needed, so a huge-page boundary lies within.
  const size_t mapped = wanted + kHugePage;
  void* p = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<uintptr_t>(p);
  const uintptr_t aligned = (start + kHugePage - 1) & ~uintptr_t{kHugePage - 1};
  // The unaligned ends are given back; only the aligned middle is kept.
  if (aligned > start) ::munmap(p, aligned - start);
  const uintptr_t end = start + mapped;
  if (end > aligned + wanted)
    ::munmap(reinterpret_cast<void*>(aligned + wanted), end - aligned - wanted);
  data_ = reinterpret_cast<uint8_t*>(aligned);
  mapped_ = wanted;
  // Only advice: without huge pages the buffer is simply made of small ones.
  ::madvise(data_, mapped_, MADV_HUGEPAGE);
}

ReadBuffer::~ReadBuffer() { ::munmap(data_, mapped_); }

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

uint8_t* ThreadRingBuffer(size_t bytes) {
  thread_local std::unique_ptr<ReadBuffer> memory;
  if (!memory || memory->Size() < bytes) {
    memory.reset();  // the old mapping goes before the new one is made
    memory = std::make_unique<ReadBuffer>(bytes);
  }
  return memory->Data();
}

}  // namespace quorvid::platform
