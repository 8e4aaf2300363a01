// Directory mode end to end: the real binary over a generated tree of 20,000
// small files (200 folders of 100), for a plain walk, list generation and
// list checking. Built with -DQUORVID_BENCH=ON.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 200;
constexpr int kFilesPerFolder = 100;

// The tree is made once per process and removed at exit.
const fs::path& Tree() {
  static const fs::path root = [] {
    fs::path base = fs::temp_directory_path() / ("quorvid-dir-bench-" + std::to_string(::getpid()));
    for (int f = 0; f < kFolders; ++f) {
      fs::path folder = base / "tree" / ("d" + std::to_string(f));
      fs::create_directories(folder);
      for (int i = 0; i < kFilesPerFolder; ++i) {
        std::ofstream out(folder / ("file " + std::to_string(i) + ".txt"), std::ios::binary);
        out << "small file " << f << '/' << i << '\n';
      }
    }
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(fs::temp_directory_path() / ("quorvid-dir-bench-" + std::to_string(::getpid())), ec);
    });
    return base;
  }();
  return root;
}

void RunQuorvid(benchmark::State& state, const std::string& args) {
  const std::string command = "\"" QUORVID_BINARY "\" " + args + " >/dev/null 2>&1";
  for (auto _ : state) {
    int rc = std::system(command.c_str());
    if (rc != 0) state.SkipWithError(("exit status " + std::to_string(rc)).c_str());
  }
  state.SetItemsProcessed(state.iterations() * kFolders * kFilesPerFolder);
}

void BM_DirectoryWalk(benchmark::State& state) {
  RunQuorvid(state, "-r -d \"" + (Tree() / "tree").string() + "\" -o /dev/null");
}

void BM_DirectoryWalkAllAlgorithms(benchmark::State& state) {
  RunQuorvid(state, "--all -r -d \"" + (Tree() / "tree").string() + "\" -o /dev/null");
}

void BM_GenerateList(benchmark::State& state) {
  RunQuorvid(state, "-g \"" + (Tree() / "list.txt").string() + "\" -r -d \"" +
                        (Tree() / "tree").string() + "\"");
}

void BM_CheckList(benchmark::State& state) {
  const std::string list = (Tree() / "check.txt").string();
  const std::string make = "\"" QUORVID_BINARY "\" -g \"" + list + "\" -r -d \"" +
                           (Tree() / "tree").string() + "\" >/dev/null 2>&1";
  if (std::system(make.c_str()) != 0) {
    state.SkipWithError("list generation failed");
    return;
  }
  RunQuorvid(state, "-o /dev/null -x \"" + list + "\" \"" + (Tree() / "tree").string() + "\"");
}

}  // namespace

BENCHMARK(BM_DirectoryWalk)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DirectoryWalkAllAlgorithms)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GenerateList)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CheckList)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
