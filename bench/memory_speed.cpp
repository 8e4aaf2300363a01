// How fast one core hashes a file already in memory: the file is mapped and
// every page touched first, then hashed in 1 MiB steps on one thread, best
// of three. The bound a one-algorithm run over a large file can approach.
//
//   memory_speed FILE [ALGORITHM...]   (names as Quorvid's display names;
//                                       default MD5 SHA1 SHA2_256 SHA2_512)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "hashing/algorithm_catalogue.h"
#include "hashing/hasher.h"

int main(int argc, char** argv) {
  using namespace quorvid;
  if (argc < 2) {
    std::fprintf(stderr, "usage: memory_speed FILE [ALGORITHM...]\n");
    return 2;
  }
  const int fd = ::open(argv[1], O_RDONLY);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || st.st_size == 0) {
    std::perror(argv[1]);
    return 1;
  }
  const size_t size = static_cast<size_t>(st.st_size);
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  if (map == MAP_FAILED) {
    std::perror("mmap");
    return 1;
  }
  const auto* bytes = static_cast<const uint8_t*>(map);
  volatile uint8_t sink = 0;
  for (size_t i = 0; i < size; i += 4096) sink = sink ^ bytes[i];  // every page faulted in

  std::vector<std::string> names(argv + 2, argv + argc);
  if (names.empty()) names = {"MD5", "SHA1", "SHA2_256", "SHA2_512"};
  THashChoicesArray table;
  BuildAlgorithmTable(table);
  for (const std::string& name : names) {
    const auto rec = std::find_if(table.begin(), table.end(),
                                  [&](const THashAlgorithmRec& r) { return r.DisplayName == name; });
    if (rec == table.end() || !rec->IsRealHash) {
      std::fprintf(stderr, "unknown algorithm %s\n", name.c_str());
      return 2;
    }
    auto hasher = MakeHasher(rec->Choice);
    double best = 1e30;
    for (int round = 0; round < 3; ++round) {
      const auto start = std::chrono::steady_clock::now();
      hasher->Reset();
      for (size_t at = 0; at < size; at += 1 << 20)
        hasher->Update(bytes + at, std::min<size_t>(1 << 20, size - at));
      uint8_t digest[kMaxDigestBytes];
      hasher->Final(digest);
      best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("%s\t%.0f MB/s\n", name.c_str(), static_cast<double>(size) / best / 1e6);
  }
  ::munmap(map, size);
  ::close(fd);
  return 0;
}
