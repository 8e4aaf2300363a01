// What getting a file's parts costs, read against viewed, while every thread
// hashes them with BLAKE3: the question behind the part road, which reads.
// Each thread claims 4 MiB parts of the file and either reads each into a
// buffer of its own in 256 KiB pieces, or views it in the file cache
// (mmap with MAP_POPULATE) and hashes the view; best of five per way.
//
//   part_access FILE [THREADS]
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "hashing/blake3.h"

namespace {

constexpr size_t kPart = 4 << 20;
constexpr size_t kPiece = 256 << 10;

double Run(int fd, size_t size, unsigned threads, bool view) {
  std::atomic<size_t> next{0};
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t) {
    workers.emplace_back([&] {
      std::vector<uint8_t> buffer(kPiece);
      quorvid::Blake3 hasher;
      uint8_t out[32];
      for (size_t part = next.fetch_add(1); part * kPart < size; part = next.fetch_add(1)) {
        const size_t offset = part * kPart;
        const size_t length = std::min(kPart, size - offset);
        hasher.Reset();
        if (view) {
          void* p = ::mmap(nullptr, length, PROT_READ, MAP_SHARED | MAP_POPULATE, fd, offset);
          if (p == MAP_FAILED) std::abort();
          hasher.Update(static_cast<const uint8_t*>(p), length);
          ::munmap(p, length);
        } else {
          for (size_t done = 0; done < length;) {
            const ssize_t n = ::pread(fd, buffer.data(), std::min(kPiece, length - done), offset + done);
            if (n <= 0) std::abort();
            hasher.Update(buffer.data(), static_cast<size_t>(n));
            done += static_cast<size_t>(n);
          }
        }
        hasher.Final(out);
      }
    });
  }
  for (auto& w : workers) w.join();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: part_access FILE [THREADS]\n");
    return 2;
  }
  const int fd = ::open(argv[1], O_RDONLY);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  const unsigned threads = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2]))
                                    : std::max(1u, std::thread::hardware_concurrency());
  const size_t size = static_cast<size_t>(st.st_size);
  double read = 1e30, view = 1e30;
  for (int round = 0; round < 5; ++round) {
    read = std::min(read, Run(fd, size, threads, false));
    view = std::min(view, Run(fd, size, threads, true));
  }
  std::printf("%u threads, %zu MiB: read %.0f ms, view %.0f ms, views %.2f x the reads' time\n",
              threads, size >> 20, read, view, view / read);
  return 0;
}
