// Runs a fuzz target without libFuzzer, so its checks run in ordinary (and sanitized) test
// builds: every file given on the command line or found in a given directory, then a stream
// of generated inputs from a fixed seed.
//
//   fuzz_<name>_replay [--generate=N] [--seed=S] [--max-length=L] [--only=I] <file|dir>...
//
// Generated inputs mix uniform random bytes, bytes from a small random alphabet (which gives
// the repetition real formats have), and mutated or spliced corpus files. Each input is passed
// in a heap block of exactly its size, so AddressSanitizer catches any read past its end. When
// a check fails or a sanitizer reports, the input is written to fuzz-replay-failure.bin in the
// working directory; --only=I reruns generated input I alone.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" __attribute__((weak)) void __sanitizer_set_death_callback(void (*callback)());

namespace {

using Bytes = std::vector<std::uint8_t>;

// The input being run, for the failure report.
Bytes const* gCurrent = nullptr;
char const* gCurrentName = "";

void DumpCurrent() {
  if (!gCurrent) return;
  if (std::FILE* f = std::fopen("fuzz-replay-failure.bin", "wb")) {
    if (!gCurrent->empty()) std::fwrite(gCurrent->data(), 1, gCurrent->size(), f);
    std::fclose(f);
  }
  std::fprintf(stderr, "\nfuzz replay: failed on %s (%zu bytes), written to fuzz-replay-failure.bin\n",
               gCurrentName, gCurrent->size());
  gCurrent = nullptr;
}

extern "C" void OnAbort(int signal) {
  DumpCurrent();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void Run(Bytes const& input, char const* name) {
  gCurrent = &input;
  gCurrentName = name;
  // Exactly the input's size: no slack for an over-read to hide in.
  std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[input.size()]);
  if (!input.empty()) std::memcpy(copy.get(), input.data(), input.size());
  LLVMFuzzerTestOneInput(copy.get(), input.size());
  gCurrent = nullptr;
}

bool ReadFile(std::string const& path, Bytes& out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  out.clear();
  std::uint8_t buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.insert(out.end(), buffer, buffer + n);
  std::fclose(f);
  return true;
}

// Files of a directory in name order (so runs are repeatable), or the path itself.
std::vector<std::string> ListInputs(std::string const& path) {
  std::vector<std::string> files;
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return files;
  if (!S_ISDIR(info.st_mode)) {
    files.push_back(path);
    return files;
  }
  if (DIR* dir = opendir(path.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string const file = path + "/" + entry->d_name;
      if (entry->d_name[0] != '.' && stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        files.push_back(file);
    }
    closedir(dir);
  }
  std::sort(files.begin(), files.end());
  return files;
}

// SplitMix64: small, fast and the same everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(Next() % n); }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Next()); }

 private:
  std::uint64_t state_;
};

// Mostly short inputs, some up to maxLength.
std::size_t DrawLength(Random& rng, std::size_t maxLength) {
  switch (rng.Below(4)) {
    case 0: return rng.Below(std::min<std::size_t>(16, maxLength) + 1);
    case 1: return rng.Below(std::min<std::size_t>(128, maxLength) + 1);
    default: return rng.Below(maxLength + 1);
  }
}

Bytes Generate(Random& rng, std::size_t maxLength, std::vector<Bytes> const& corpus) {
  Bytes out;
  std::size_t const kind = rng.Below(corpus.empty() ? 2 : 4);
  if (kind == 0) {  // uniform bytes
    out.resize(DrawLength(rng, maxLength));
    for (auto& b : out) b = rng.Byte();
  } else if (kind == 1) {  // a few byte values, repeated
    std::uint8_t alphabet[8];
    std::size_t const size = 1 + rng.Below(8);
    for (std::size_t i = 0; i < size; ++i) alphabet[i] = rng.Byte();
    out.resize(DrawLength(rng, maxLength));
    for (auto& b : out) b = alphabet[rng.Below(size)];
  } else {  // a corpus file, mutated; or several spliced and repeated
    out = corpus[rng.Below(corpus.size())];
    if (kind == 3) {
      std::size_t const target = DrawLength(rng, maxLength);
      while (out.size() < target) {
        Bytes const& other = corpus[rng.Below(corpus.size())];
        if (other.empty()) break;
        std::size_t const from = rng.Below(other.size());
        std::size_t const length = 1 + rng.Below(other.size() - from);
        out.insert(out.end(), other.begin() + from, other.begin() + from + length);
      }
    }
    std::size_t const edits = rng.Below(5);
    for (std::size_t e = 0; e < edits; ++e) {
      std::size_t const at = rng.Below(out.size() + 1);
      switch (rng.Below(4)) {
        case 0:
          if (at < out.size()) out[at] = rng.Byte();
          break;
        case 1:
          if (at < out.size()) out[at] ^= static_cast<std::uint8_t>(1u << rng.Below(8));
          break;
        case 2: out.insert(out.begin() + at, rng.Byte()); break;
        default:
          if (at < out.size()) out.erase(out.begin() + at);
      }
    }
    if (out.size() > maxLength) out.resize(maxLength);
  }
  return out;
}

bool ParseOption(char const* arg, char const* name, unsigned long long& value) {
  std::size_t const length = std::strlen(name);
  if (std::strncmp(arg, name, length) != 0 || arg[length] != '=') return false;
  value = std::strtoull(arg + length + 1, nullptr, 0);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  unsigned long long generate = 0, seed = 0x5EED, maxLength = 4096, only = ~0ull;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    char const* arg = argv[i];
    if (ParseOption(arg, "--generate", generate) || ParseOption(arg, "--seed", seed) ||
        ParseOption(arg, "--max-length", maxLength) || ParseOption(arg, "--only", only))
      continue;
    if (arg[0] == '-') {
      std::fprintf(stderr, "unknown option %s\n", arg);
      return 2;
    }
    std::vector<std::string> const found = ListInputs(arg);
    if (found.empty()) {
      std::fprintf(stderr, "no inputs at %s\n", arg);
      return 2;
    }
    files.insert(files.end(), found.begin(), found.end());
  }

  std::signal(SIGABRT, OnAbort);
  if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(DumpCurrent);

  std::vector<Bytes> corpus;
  for (std::string const& file : files) {
    Bytes input;
    if (!ReadFile(file, input)) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 2;
    }
    corpus.push_back(input);
    if (only == ~0ull) Run(corpus.back(), file.c_str());
  }

  Random rng(seed);
  char name[64];
  for (unsigned long long i = 0; i < generate; ++i) {
    Bytes const input = Generate(rng, static_cast<std::size_t>(maxLength), corpus);
    if (only != ~0ull && i != only) continue;
    std::snprintf(name, sizeof name, "generated input %llu (seed %llu)", i, seed);
    Run(input, name);
  }
  std::printf("fuzz replay: %zu files, %llu generated inputs (seed %llu), all passed\n",
              only == ~0ull ? files.size() : 0, only == ~0ull ? generate : 1ull, seed);
  return 0;
}
