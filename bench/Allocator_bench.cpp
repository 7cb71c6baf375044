// The small-block allocator (Vireo) and the fixed-size allocators (VireoFixed) against glibc
// malloc/free, jemalloc and mimalloc, in one run.
//
// jemalloc and mimalloc are loaded with dlopen(RTLD_LOCAL | RTLD_DEEPBIND), so that they do
// not replace glibc's malloc for the rest of the process (and for the glibc peer); each is
// called through its own entry points. A peer whose library is missing is skipped. jemalloc
// needs static TLS space that a dlopen'ed library only finds when the process starts with
// more of it reserved, so the program re-executes itself once with the glibc tunable set.
//
//   Pair/<size>       one thread: allocate and free at once (16, 64, 256, 1024, 4096 bytes)
//   ManyLive/<size>   one thread: 100 000 blocks allocated, then all freed; time per operation
//   ManyLiveShuffled/<size>  the same, freed in a shuffled order
//   CrossThread/<size> two threads at once: each frees the blocks the other allocated and
//                      sent it in batches; time per block
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <mutex>
#include <thread>
#include <vector>

#include "vireo/utility/Allocator.h"
#include "vireo/utility/SmallBlockAllocator.h"

namespace {

struct Peer {
  void* (*allocate)(std::size_t);
  void (*free)(void*);
};

Peer LoadPeer(char const* library, char const* allocateName, char const* freeName) {
  void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND);
  if (!handle) return {nullptr, nullptr};
  return {reinterpret_cast<void* (*)(std::size_t)>(dlsym(handle, allocateName)),
          reinterpret_cast<void (*)(void*)>(dlsym(handle, freeName))};
}

Peer const& Jemalloc() {
  static Peer const peer = LoadPeer("libjemalloc.so.2", "malloc", "free");
  return peer;
}

Peer const& Mimalloc() {
  static Peer const peer = LoadPeer("libmimalloc.so.2", "mi_malloc", "mi_free");
  return peer;
}

struct Vireo {
  static bool Available() { return true; }
  static void* Allocate(std::size_t n) {
    return vireo::utility::SmallBlockAllocator::Allocate(static_cast<unsigned int>(n));
  }
  static void Free(void* p, std::size_t n) {
    vireo::utility::SmallBlockAllocator::Dispose(p, static_cast<unsigned int>(n));
  }
};

struct VireoFixed {
  static bool Available() { return true; }
  static void* Allocate(std::size_t n) {
    return vireo::utility::Allocator::Allocate(static_cast<unsigned int>(n));
  }
  static void Free(void* p, std::size_t n) {
    vireo::utility::Allocator::Dispose(p, static_cast<unsigned int>(n));
  }
};

struct Glibc {
  static bool Available() { return true; }
  static void* Allocate(std::size_t n) { return std::malloc(n); }
  static void Free(void* p, std::size_t) { std::free(p); }
};

struct JemallocPeer {
  static bool Available() { return Jemalloc().allocate && Jemalloc().free; }
  static void* Allocate(std::size_t n) { return Jemalloc().allocate(n); }
  static void Free(void* p, std::size_t) { Jemalloc().free(p); }
};

struct MimallocPeer {
  static bool Available() { return Mimalloc().allocate && Mimalloc().free; }
  static void* Allocate(std::size_t n) { return Mimalloc().allocate(n); }
  static void Free(void* p, std::size_t) { Mimalloc().free(p); }
};

template <class A>
void Pair(benchmark::State& state) {
  if (!A::Available()) return state.SkipWithError("library not found");
  std::size_t const size = static_cast<std::size_t>(state.range(0));
  // Warm the pool so that the first page is not part of the measurement.
  A::Free(A::Allocate(size), size);
  for (auto _ : state) {
    void* p = A::Allocate(size);
    benchmark::DoNotOptimize(p);
    A::Free(p, size);
  }
  state.SetItemsProcessed(state.iterations());
}

template <class A>
void ManyLive(benchmark::State& state) {
  if (!A::Available()) return state.SkipWithError("library not found");
  std::size_t const size = static_cast<std::size_t>(state.range(0));
  constexpr std::size_t kLive = 100000;
  std::vector<void*> blocks(kLive);
  for (auto _ : state) {
    for (auto& p : blocks) {
      p = A::Allocate(size);
      static_cast<char*>(p)[0] = 1;
    }
    benchmark::ClobberMemory();
    for (auto p : blocks) A::Free(p, size);
  }
  state.SetItemsProcessed(state.iterations() * kLive * 2);  // allocations and frees
}

// The same, freeing in a shuffled order: with many live blocks the free touches cold memory.
template <class A>
void ManyLiveShuffled(benchmark::State& state) {
  if (!A::Available()) return state.SkipWithError("library not found");
  std::size_t const size = static_cast<std::size_t>(state.range(0));
  constexpr std::size_t kLive = 100000;
  std::vector<std::size_t> order(kLive);
  for (std::size_t i = 0; i < kLive; ++i) order[i] = i;
  std::mt19937 rng(42);
  std::shuffle(order.begin(), order.end(), rng);
  std::vector<void*> blocks(kLive);
  for (auto _ : state) {
    for (auto& p : blocks) {
      p = A::Allocate(size);
      static_cast<char*>(p)[0] = 1;
    }
    benchmark::ClobberMemory();
    for (std::size_t i : order) A::Free(blocks[i], size);
  }
  state.SetItemsProcessed(state.iterations() * kLive * 2);
}

// Blocks on their way to another thread. Batches go in and out under a lock, so the lock's
// cost is shared by a whole batch, and a sender never waits for the receiver.
class Mailbox {
 public:
  void Send(std::vector<void*>& batch) {
    std::lock_guard<std::mutex> lock(mutex_);
    blocks_.insert(blocks_.end(), batch.begin(), batch.end());
    batch.clear();
  }
  void Receive(std::vector<void*>& out) {
    out.clear();
    std::lock_guard<std::mutex> lock(mutex_);
    out.swap(blocks_);
  }

 private:
  std::mutex mutex_;
  std::vector<void*> blocks_;
};

// Both threads at once: each allocates blocks and sends them to the other, and frees the
// blocks the other sent. Time per block.
template <class A>
void CrossThread(benchmark::State& state) {
  if (!A::Available()) return state.SkipWithError("library not found");
  std::size_t const size = static_cast<std::size_t>(state.range(0));
  constexpr int kBatch = 64;
  static Mailbox mailboxes[2];  // mailboxes[i]: blocks sent to thread i
  int const self = state.thread_index();
  std::vector<void*> outgoing, incoming;
  outgoing.reserve(kBatch);
  auto drain = [&] {
    mailboxes[self].Receive(incoming);
    for (void* p : incoming) A::Free(p, size);
  };
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) {
      void* p = A::Allocate(size);
      static_cast<char*>(p)[0] = 1;
      outgoing.push_back(p);
    }
    mailboxes[1 - self].Send(outgoing);
    drain();
  }
  // The loop ends on a barrier of both threads: nothing more is sent after it.
  drain();
  state.SetItemsProcessed(state.iterations() * kBatch);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int size : {16, 64, 256, 1024, 4096}) b->Arg(size);
}

BENCHMARK_TEMPLATE(Pair, Vireo)->Apply(Sizes);
BENCHMARK_TEMPLATE(Pair, VireoFixed)->Apply(Sizes);
BENCHMARK_TEMPLATE(Pair, Glibc)->Apply(Sizes);
BENCHMARK_TEMPLATE(Pair, JemallocPeer)->Apply(Sizes);
BENCHMARK_TEMPLATE(Pair, MimallocPeer)->Apply(Sizes);

BENCHMARK_TEMPLATE(ManyLive, Vireo)->Arg(64)->Arg(256);
BENCHMARK_TEMPLATE(ManyLive, VireoFixed)->Arg(64)->Arg(256);
BENCHMARK_TEMPLATE(ManyLive, Glibc)->Arg(64)->Arg(256);
BENCHMARK_TEMPLATE(ManyLive, JemallocPeer)->Arg(64)->Arg(256);
BENCHMARK_TEMPLATE(ManyLive, MimallocPeer)->Arg(64)->Arg(256);

BENCHMARK_TEMPLATE(ManyLiveShuffled, Vireo)->Arg(64)->Arg(256);
BENCHMARK_TEMPLATE(ManyLiveShuffled, VireoFixed)->Arg(64)->Arg(256);
BENCHMARK_TEMPLATE(ManyLiveShuffled, Glibc)->Arg(64)->Arg(256);
BENCHMARK_TEMPLATE(ManyLiveShuffled, JemallocPeer)->Arg(64)->Arg(256);
BENCHMARK_TEMPLATE(ManyLiveShuffled, MimallocPeer)->Arg(64)->Arg(256);

BENCHMARK_TEMPLATE(CrossThread, Vireo)->Arg(64)->Threads(2)->UseRealTime();
BENCHMARK_TEMPLATE(CrossThread, VireoFixed)->Arg(64)->Threads(2)->UseRealTime();
BENCHMARK_TEMPLATE(CrossThread, Glibc)->Arg(64)->Threads(2)->UseRealTime();
BENCHMARK_TEMPLATE(CrossThread, JemallocPeer)->Arg(64)->Threads(2)->UseRealTime();
BENCHMARK_TEMPLATE(CrossThread, MimallocPeer)->Arg(64)->Threads(2)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  char const* tunables = std::getenv("GLIBC_TUNABLES");
  if (!tunables || !std::strstr(tunables, "optional_static_tls")) {
    std::string value = "glibc.rtld.optional_static_tls=65536";
    if (tunables && *tunables) value = std::string(tunables) + ":" + value;
    setenv("GLIBC_TUNABLES", value.c_str(), 1);
    execv("/proc/self/exe", argv);  // on failure, go on without jemalloc
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
