// Throughput (bytes per second) of each algorithm on 64 KiB, 16 MiB and
// 256 MiB buffers, of each BLAKE3 variant this processor runs, plus the
// engine's one-read path over a file for all fourteen.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "hashing/algorithm_catalogue.h"
#include "hashing/blake3.h"
#include "hashing/blake3_impl.h"
#include "hashing/engine.h"
#include "hashing/hasher.h"

namespace {

using quorvid::THashChoices;

std::vector<uint8_t> Buffer(size_t size) {
  std::vector<uint8_t> data(size);
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>((i * 31 + 7) & 0xFF);
  return data;
}

void BM_Hash(benchmark::State& state, THashChoices choice) {
  const auto data = Buffer(static_cast<size_t>(state.range(0)));
  auto hasher = quorvid::MakeHasher(choice);
  uint8_t digest[quorvid::kMaxDigestBytes];
  for (auto _ : state) {
    hasher->Reset();
    hasher->Update(data.data(), data.size());
    hasher->Final(digest);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// One BLAKE3 variant (one thread) on a buffer, to compare the variants and
// tune each on this processor.
void BM_Blake3Variant(benchmark::State& state, quorvid::blake3::Variant variant) {
  if (!quorvid::blake3::VariantSupported(variant)) {
    state.SkipWithError("not supported by this processor");
    return;
  }
  const auto data = Buffer(static_cast<size_t>(state.range(0)));
  const auto before = quorvid::blake3::UseVariant(variant);
  quorvid::Blake3 hasher;
  uint8_t digest[32];
  for (auto _ : state) {
    hasher.Reset();
    hasher.Update(data.data(), data.size());
    hasher.Final(digest);
    benchmark::DoNotOptimize(digest);
  }
  quorvid::blake3::UseVariant(before);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// A 64 MiB file read once and fed to every algorithm (page cache warm).
void BM_HashFileManyAll(benchmark::State& state) {
  const std::string path = "/tmp/quorvid_hash_bench.bin";
  const auto data = Buffer(64u << 20);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  quorvid::THashChoicesArray table;
  quorvid::BuildAlgorithmTable(table);
  quorvid::CreateHashers(table);
  quorvid::TGeneratedHashes out;
  for (auto _ : state) {
    bool ok = quorvid::HashFileMany(table, quorvid::kAllRealHashes, path, out);
    benchmark::DoNotOptimize(ok);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
  std::remove(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  quorvid::THashChoicesArray table;
  quorvid::BuildAlgorithmTable(table);
  for (int m = 1; m < quorvid::kHashChoiceCount; ++m) {
    benchmark::RegisterBenchmark(("BM_Hash/" + table[m].DisplayName).c_str(), BM_Hash,
                                 quorvid::ChoiceAt(m))
        ->Arg(64 << 10)
        ->Arg(16 << 20)
        ->Arg(256 << 20)  // beyond the caches: the kernel fed from memory
        ->Unit(benchmark::kMicrosecond);
  }
  using quorvid::blake3::Variant;
  for (auto [name, variant] : {std::pair{"Portable", Variant::Portable}, {"SSE4.1", Variant::Sse41},
                               {"AVX2", Variant::Avx2}, {"AVX-512", Variant::Avx512}}) {
    benchmark::RegisterBenchmark((std::string("BM_Blake3Variant/") + name).c_str(),
                                 BM_Blake3Variant, variant)
        ->Arg(16 << 20)
        ->Arg(256 << 20)
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::RegisterBenchmark("BM_HashFileManyAll", BM_HashFileManyAll)
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
