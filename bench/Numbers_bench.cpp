// NumberToString(double, ...) and StringToNumber against the C library (snprintf "%1.*lf" then
// UTF8to16; strtod) and against std::to_chars / std::from_chars, on the same 4096 values of
// mixed magnitudes. The library's results equal C's (tests/utility/Numbers_test.cpp).
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "vireo/utility/Numbers.h"

namespace {

using vireo::utility::UTF16String;

std::vector<double> const& Values() {
  static std::vector<double> const values = [] {
    std::mt19937_64 random(42);
    std::vector<double> v;
    for (int i = 0; i < 4096; ++i) {
      double const mantissa = static_cast<double>(random() >> 11) / 9007199254740992.0;
      double const scale[] = {1.0, 100.0, 1e4, 1e6, 1e9};
      v.push_back((random() % 2 ? -1 : 1) * mantissa * scale[random() % 5]);
    }
    return v;
  }();
  return values;
}

std::vector<std::string> const& Texts8() {
  static std::vector<std::string> const texts = [] {
    std::vector<std::string> t;
    char buffer[64];
    for (double v : Values()) {
      std::snprintf(buffer, sizeof buffer, "%.6f", v);
      t.push_back(buffer);
    }
    return t;
  }();
  return texts;
}

std::vector<UTF16String> const& Texts16() {
  static std::vector<UTF16String> const texts = [] {
    std::vector<UTF16String> t;
    for (std::string const& s : Texts8())
      t.push_back(vireo::utility::UTF8to16(reinterpret_cast<unsigned char const*>(s.data()), s.size()));
    return t;
  }();
  return texts;
}

int const kDecimals = 2;

void BM_NumberToString(benchmark::State& state) {
  std::vector<double> const& values = Values();
  std::size_t i = 0;
  for (auto _ : state) {
    UTF16String text = vireo::utility::NumberToString(values[i++ & 4095], 1, kDecimals,
                                                      vireo::utility::Flags<unsigned short>());
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_NumberToString);

void BM_SnprintfThenUTF8to16(benchmark::State& state) {
  std::vector<double> const& values = Values();
  std::size_t i = 0;
  char buffer[64];
  for (auto _ : state) {
    int const n = std::snprintf(buffer, sizeof buffer, "%1.*lf", kDecimals, values[i++ & 4095]);
    UTF16String text =
        vireo::utility::UTF8to16(reinterpret_cast<unsigned char const*>(buffer), static_cast<std::size_t>(n));
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_SnprintfThenUTF8to16);

// std::to_chars alone, into a stack buffer: no string is made.
void BM_ToChars(benchmark::State& state) {
  std::vector<double> const& values = Values();
  std::size_t i = 0;
  char buffer[64];
  for (auto _ : state) {
    char* const end = std::to_chars(buffer, buffer + sizeof buffer, values[i++ & 4095],
                                    std::chars_format::fixed, kDecimals).ptr;
    benchmark::DoNotOptimize(end);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ToChars);

// std::to_chars with the same result type as the library's: a UTF16String.
void BM_ToCharsThenUTF16String(benchmark::State& state) {
  std::vector<double> const& values = Values();
  std::size_t i = 0;
  char buffer[64];
  for (auto _ : state) {
    char* const end = std::to_chars(buffer, buffer + sizeof buffer, values[i++ & 4095],
                                    std::chars_format::fixed, kDecimals).ptr;
    UTF16String text(buffer, end);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_ToCharsThenUTF16String);

void BM_StringToNumber(benchmark::State& state) {
  std::vector<UTF16String> const& texts = Texts16();
  std::size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        vireo::utility::StringToNumber(texts[i++ & 4095], vireo::utility::Flags<unsigned short>()));
}
BENCHMARK(BM_StringToNumber);

void BM_Strtod(benchmark::State& state) {
  std::vector<std::string> const& texts = Texts8();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(std::strtod(texts[i++ & 4095].c_str(), nullptr));
}
BENCHMARK(BM_Strtod);

void BM_FromChars(benchmark::State& state) {
  std::vector<std::string> const& texts = Texts8();
  std::size_t i = 0;
  for (auto _ : state) {
    std::string const& text = texts[i++ & 4095];
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_FromChars);

}  // namespace

BENCHMARK_MAIN();
