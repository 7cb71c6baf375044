// The trace filter: TraceEnabled for a category already in the settings, with 1 and with 200
// categories held, against a plain filter of the same shape (a std::mutex and a std::map of
// std::string to a setting). The settings live in memory here, so that only the query is
// measured and no file of the user's is touched.
#include <benchmark/benchmark.h>

#include <map>
#include <mutex>
#include <string>

#include "vireo/debug/Trace.h"
#include "vireo/debug/src/SettingsFiles.h"

namespace {

using vireo::utility::UTF8String;

class NullStore : public vireo::debug::impl::SettingsStore {
 public:
  bool Read(char const*, UTF8String&) override { return false; }
  void Write(char const*, UTF8String const&) override {}
};

UTF8String U8(std::string const& s) { return UTF8String(s.begin(), s.end()); }

void Setup(int categories) {
  static NullStore store;
  vireo::debug::impl::SetSettingsStore(&store);
  for (int i = 0; i < categories; ++i)
    vireo::debug::GetTraceVolume(U8("Category." + std::to_string(i)));
}

void BM_TraceEnabled(benchmark::State& state) {
  Setup(static_cast<int>(state.range(0)));
  UTF8String const category = U8("WREN.Allocator");
  vireo::debug::TraceEnabled(category, 1, false);
  for (auto _ : state) benchmark::DoNotOptimize(vireo::debug::TraceEnabled(category, 1, false));
}
BENCHMARK(BM_TraceEnabled)->Arg(1)->Arg(200);

// The peer: the same decision over standard containers.
struct PlainFilter {
  struct Setting {
    bool enabled;
    long volume;
  };
  std::mutex mutex;
  Setting master{true, 10};
  std::map<std::string, Setting> settings;

  bool Enabled(std::string const& category, long volume) {
    std::lock_guard<std::mutex> lock(mutex);
    if (!master.enabled || volume > master.volume) return false;
    auto it = settings.find(category);
    if (it == settings.end()) it = settings.emplace(category, Setting{true, 5}).first;
    return it->second.enabled && volume <= it->second.volume;
  }
};

void BM_PlainMapFilter(benchmark::State& state) {
  PlainFilter filter;
  for (int i = 0; i < state.range(0); ++i) filter.Enabled("Category." + std::to_string(i), 1);
  std::string const category = "WREN.Allocator";
  filter.Enabled(category, 1);
  for (auto _ : state) benchmark::DoNotOptimize(filter.Enabled(category, 1));
}
BENCHMARK(BM_PlainMapFilter)->Arg(1)->Arg(200);

// Two threads asking at once: a query that meets the other inside the filter answers false
// at once instead of waiting.
void BM_TraceEnabledContended(benchmark::State& state) {
  if (state.thread_index() == 0) Setup(1);
  UTF8String const category = U8("WREN.Allocator");
  for (auto _ : state) benchmark::DoNotOptimize(vireo::debug::TraceEnabled(category, 1, false));
}
BENCHMARK(BM_TraceEnabledContended)->Threads(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
