// Listing a directory of 10 000 files with Dir::BeginFiles and walking a tree of 20 000 files
// with RecursiveFileIterator, against std::filesystem's directory_iterator and
// recursive_directory_iterator on the same directories. Each visited file's full path is
// touched, as a caller would use it. The directories are made once under $TMPDIR (or /tmp)
// and removed when the program ends.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "vireo/filesupport/Dir.h"
#include "vireo/filesupport/File.h"
#include "vireo/filesupport/RecursiveFileIterator.h"

namespace {

namespace fs = std::filesystem;
using vireo::filesupport::Dir;
using vireo::filesupport::RecursiveFileIterator;
using vireo::utility::UTF16String;

int const kFlatFiles = 10000;
int const kTopDirs = 20, kSubDirs = 10, kFilesPerLeaf = 100;  // 20 000 files in 200 leaves

class Trees {
 public:
  Trees() {
    char const* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base == '/' ? base : "/tmp") + "/vireo-bench-XXXXXX";
    if (!::mkdtemp(&pattern[0])) std::abort();
    root_ = pattern;
    fs::create_directory(Flat());
    for (int i = 0; i < kFlatFiles; ++i) std::ofstream(Flat() + "/clip" + std::to_string(i) + ".avi");
    fs::create_directory(Tree());
    for (int t = 0; t < kTopDirs; ++t) {
      std::string const top = Tree() + "/project" + std::to_string(t);
      fs::create_directory(top);
      for (int s = 0; s < kSubDirs; ++s) {
        std::string const leaf = top + "/media" + std::to_string(s);
        fs::create_directory(leaf);
        for (int f = 0; f < kFilesPerLeaf; ++f) std::ofstream(leaf + "/take" + std::to_string(f) + ".wav");
      }
    }
  }
  ~Trees() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  std::string Flat() const { return root_ + "/flat"; }
  std::string Tree() const { return root_ + "/tree"; }

 private:
  std::string root_;
};

Trees const& TheTrees() {
  static Trees const trees;
  return trees;
}

Dir Stored(std::string const& posix) {
  UTF16String path(posix.begin(), posix.end());
  for (unsigned short& unit : path)
    if (unit == '/') unit = '\\';
  return Dir(path);
}

void BM_ListFiles_Vireo(benchmark::State& state) {
  Dir const dir = Stored(TheTrees().Flat());
  std::size_t files = 0;
  for (auto _ : state) {
    std::size_t units = 0;
    for (Dir::FileIterator it = dir.BeginFiles(false), end = dir.EndFiles(); it != end; ++it) {
      units += (*it).Helper().Path().size();
      ++files;
    }
    benchmark::DoNotOptimize(units);
  }
  if (files != static_cast<std::size_t>(kFlatFiles) * state.iterations()) state.SkipWithError("count");
  state.SetItemsProcessed(static_cast<long long>(files));
}
BENCHMARK(BM_ListFiles_Vireo)->Unit(benchmark::kMillisecond);

void BM_ListFiles_StdFilesystem(benchmark::State& state) {
  fs::path const dir = TheTrees().Flat();
  std::size_t files = 0;
  for (auto _ : state) {
    std::size_t units = 0;
    for (fs::directory_entry const& entry : fs::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      units += entry.path().native().size();
      ++files;
    }
    benchmark::DoNotOptimize(units);
  }
  if (files != static_cast<std::size_t>(kFlatFiles) * state.iterations()) state.SkipWithError("count");
  state.SetItemsProcessed(static_cast<long long>(files));
}
BENCHMARK(BM_ListFiles_StdFilesystem)->Unit(benchmark::kMillisecond);

void BM_WalkTree_Vireo(benchmark::State& state) {
  Dir const root = Stored(TheTrees().Tree());
  std::size_t files = 0;
  for (auto _ : state) {
    std::size_t units = 0;
    for (RecursiveFileIterator it(root, false), end; it != end; ++it) {
      units += (*it).Helper().Path().size();
      ++files;
    }
    benchmark::DoNotOptimize(units);
  }
  if (files != static_cast<std::size_t>(kTopDirs * kSubDirs * kFilesPerLeaf) * state.iterations())
    state.SkipWithError("count");
  state.SetItemsProcessed(static_cast<long long>(files));
}
BENCHMARK(BM_WalkTree_Vireo)->Unit(benchmark::kMillisecond);

void BM_WalkTree_StdFilesystem(benchmark::State& state) {
  fs::path const root = TheTrees().Tree();
  std::size_t files = 0;
  for (auto _ : state) {
    std::size_t units = 0;
    for (fs::directory_entry const& entry : fs::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file()) continue;
      units += entry.path().native().size();
      ++files;
    }
    benchmark::DoNotOptimize(units);
  }
  if (files != static_cast<std::size_t>(kTopDirs * kSubDirs * kFilesPerLeaf) * state.iterations())
    state.SkipWithError("count");
  state.SetItemsProcessed(static_cast<long long>(files));
}
BENCHMARK(BM_WalkTree_StdFilesystem)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
