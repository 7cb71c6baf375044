// Calculate against the step-by-step reference that copies the text and recurses at every
// operator, as the rules are worded (tests/utility/CalculatorReference.h): on typed-size
// expressions, and on long sums where the reference turns quadratic. Guid text conversion
// against libuuid's own parse and unparse.
#include <benchmark/benchmark.h>

#include <uuid/uuid.h>

#include <string>
#include <vector>

#include "tests/utility/CalculatorReference.h"
#include "vireo/utility/Calculator.h"
#include "vireo/utility/Guid.h"

namespace {

using vireo::utility::UTF16String;

UTF16String W(std::string const& text) { return UTF16String(text.begin(), text.end()); }

std::vector<UTF16String> const& Typed() {
  static std::vector<UTF16String> const texts = {
      W("12.5*4"),        W("(1+2)*3"),          W("1920/2-8"),   W("2^10-1"),
      W(" 3 * (4 + 5) "), W("((100-7.5)/2)^2"),  W("1e3/8+0.25"), W("-42"),
  };
  return texts;
}

void BM_CalculateTyped(benchmark::State& state) {
  for (auto _ : state)
    for (UTF16String const& t : Typed()) benchmark::DoNotOptimize(vireo::utility::Calculate(t));
  state.SetItemsProcessed(state.iterations() * static_cast<long>(Typed().size()));
}
BENCHMARK(BM_CalculateTyped);

void BM_ReferenceTyped(benchmark::State& state) {
  for (auto _ : state)
    for (UTF16String const& t : Typed())
      benchmark::DoNotOptimize(vireo::testing::ReferenceCalculate(t));
  state.SetItemsProcessed(state.iterations() * static_cast<long>(Typed().size()));
}
BENCHMARK(BM_ReferenceTyped);

UTF16String Sum(long units) {
  std::string text;
  while (static_cast<long>(text.size()) < units - 1) text += "1+";
  return W(text + "1");
}

void BM_CalculateSum(benchmark::State& state) {
  UTF16String const text = Sum(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(vireo::utility::Calculate(text));
  state.SetBytesProcessed(state.iterations() * state.range(0) * 2);
}
BENCHMARK(BM_CalculateSum)->Arg(1 << 11)->Arg(1 << 13)->Arg(1 << 16)->Arg(1 << 20);

// Recursion depth is half the length: kept short enough for the default stack.
void BM_ReferenceSum(benchmark::State& state) {
  UTF16String const text = Sum(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(vireo::testing::ReferenceCalculate(text));
  state.SetBytesProcessed(state.iterations() * state.range(0) * 2);
}
BENCHMARK(BM_ReferenceSum)->Arg(1 << 11)->Arg(1 << 13);

void BM_CalculateNested(benchmark::State& state) {
  std::string text;
  for (long i = 0; i < state.range(0); ++i) text += "(1+";
  text += "0" + std::string(static_cast<std::size_t>(state.range(0)), ')');
  UTF16String const wide = W(text);
  for (auto _ : state) benchmark::DoNotOptimize(vireo::utility::Calculate(wide));
}
BENCHMARK(BM_CalculateNested)->Arg(1000)->Arg(100000);

std::string const kGuidText = "01234567-89ab-cdef-0123-456789abcdef";

void BM_GuidParse(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vireo::utility::Guid(kGuidText));
}
BENCHMARK(BM_GuidParse);

void BM_LibuuidParse(benchmark::State& state) {
  uuid_t bytes;
  for (auto _ : state) {
    benchmark::DoNotOptimize(uuid_parse(kGuidText.c_str(), bytes));
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_LibuuidParse);

void BM_GuidAsString(benchmark::State& state) {
  vireo::utility::Guid const guid(kGuidText);
  for (auto _ : state) benchmark::DoNotOptimize(guid.AsString());
}
BENCHMARK(BM_GuidAsString);

void BM_LibuuidUnparse(benchmark::State& state) {
  uuid_t bytes;
  uuid_parse(kGuidText.c_str(), bytes);
  char text[37];
  for (auto _ : state) {
    uuid_unparse_lower(bytes, text);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_LibuuidUnparse);

}  // namespace

BENCHMARK_MAIN();
