#include "platform/read_buffer.h"

#include <windows.h>

#include <new>

namespace quorvid::platform {

ReadBuffer::ReadBuffer(size_t size) {
  if (size == 0) size = 1;
  // Large pages need the "lock pages in memory" right, which few accounts
  // hold: without it the call fails at once and ordinary pages are taken.
  const size_t large = ::GetLargePageMinimum();
  if (large != 0) {
    const size_t wanted = (size + large - 1) / large * large;
    void* p =
        ::VirtualAlloc(nullptr, wanted, MEM_RESERVE | MEM_COMMIT | MEM_LARGE_PAGES, PAGE_READWRITE);
    if (p != nullptr) {
      data_ = static_cast<uint8_t*>(p);
      mapped_ = wanted;
      return;
    }
  }
  SYSTEM_INFO info{};
  ::GetSystemInfo(&info);
  const size_t page = info.dwPageSize != 0 ? info.dwPageSize : 4096;
  const size_t wanted = (size + page - 1) / page * page;
  // Whole pages from the system, so the start is page-aligned (it is even
  // aligned to the 64 KiB allocation granularity).
  void* p = ::VirtualAlloc(nullptr, wanted, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (p == nullptr) throw std::bad_alloc();
  data_ = static_cast<uint8_t*>(p);
  mapped_ = wanted;
}

ReadBuffer::~ReadBuffer() { ::VirtualFree(data_, 0, MEM_RELEASE); }

namespace {

// Frees a thread's buffer when the thread ends.
void WINAPI FreeThreadBuffer(void* buffer) { delete static_cast<ReadBuffer*>(buffer); }

// The calling thread's buffer of at least `size` bytes in the fiber-local
// `slot`, made on first use and remade larger when asked. Fiber-local
// storage rather than thread_local: this C runtime runs thread_local
// destructors at thread exit against memory it may already have freed, and
// the thread then ends in an access violation.
uint8_t* ThreadBuffer(DWORD slot, size_t size) {
  if (slot == FLS_OUT_OF_INDEXES) throw std::bad_alloc();
  auto* buffer = static_cast<ReadBuffer*>(::FlsGetValue(slot));
  if (buffer != nullptr && buffer->Size() < size) {
    ::FlsSetValue(slot, nullptr);
    delete buffer;  // the old memory goes before the new is made
    buffer = nullptr;
  }
  if (buffer == nullptr) {
    buffer = new ReadBuffer(size);
    if (!::FlsSetValue(slot, buffer)) {
      delete buffer;
      throw std::bad_alloc();
    }
  }
  return buffer->Data();
}

}  // namespace

uint8_t* ThreadReadBuffer() {
  static const DWORD slot = ::FlsAlloc(FreeThreadBuffer);
  return ThreadBuffer(slot, kThreadReadBufferSize);
}

// Whole pages from the system, as the big buffer: an object of over-aligned
// type in a thread's own storage is freed wrongly when the thread ends in
// this C runtime.
uint8_t* ThreadSmallReadBuffer() {
  static const DWORD slot = ::FlsAlloc(FreeThreadBuffer);
  return ThreadBuffer(slot, kThreadSmallReadBufferSize);
}

uint8_t* ThreadRingBuffer(size_t bytes) {
  static const DWORD slot = ::FlsAlloc(FreeThreadBuffer);
  return ThreadBuffer(slot, bytes);
}

}  // namespace quorvid::platform
