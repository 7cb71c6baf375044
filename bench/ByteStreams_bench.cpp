// Byte streams: CRC-32 through OCRCByteStream against zlib's crc32 and libdeflate called
// directly; PackBits encoding and decoding of image-like rows; writing and reading a file
// through the buffered platform streams against stdio with the same buffer size.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "vireo/filesupport/CRCByteStream.h"
#include "vireo/filesupport/MemoryByteStreams.h"
#include "vireo/filesupport/RLEByteStream.h"

namespace {

using namespace vireo::filesupport;

constexpr std::size_t kCrcSize = 64u << 20;

std::vector<unsigned char> const& CrcData() {
  static std::vector<unsigned char> const data = [] {
    std::vector<unsigned char> d(kCrcSize);
    std::mt19937 rng(1);
    for (auto& b : d) b = static_cast<unsigned char>(rng());
    return d;
  }();
  return data;
}

void BM_Crc32_OCRCByteStream(benchmark::State& state) {
  auto const& data = CrcData();
  for (auto _ : state) {
    OCountingByteStream sink;
    OCRCByteStream crc(sink);
    crc.WriteBlock(data.data(), data.size());
    benchmark::DoNotOptimize(crc.Value());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_Crc32_OCRCByteStream)->Unit(benchmark::kMillisecond);

void BM_Crc32_Zlib(benchmark::State& state) {
  auto const& data = CrcData();
  for (auto _ : state) {
    benchmark::DoNotOptimize(crc32(0L, data.data(), static_cast<uInt>(data.size())));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_Crc32_Zlib)->Unit(benchmark::kMillisecond);

void BM_Crc32_Libdeflate(benchmark::State& state) {
  auto const& data = CrcData();
  for (auto _ : state) {
    benchmark::DoNotOptimize(libdeflate_crc32(0, data.data(), data.size()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_Crc32_Libdeflate)->Unit(benchmark::kMillisecond);

// 8 MiB of rows of a synthetic 8-bit image: flat areas (runs of 3 to 60), gradients and
// noise (literals), in about equal parts.
std::vector<unsigned char> const& ImageRows() {
  static std::vector<unsigned char> const rows = [] {
    std::vector<unsigned char> r;
    r.reserve(8u << 20);
    std::mt19937 rng(2);
    while (r.size() < (8u << 20)) {
      unsigned kind = rng() % 3;
      unsigned length = 3 + rng() % 58;
      unsigned char base = static_cast<unsigned char>(rng());
      for (unsigned i = 0; i < length; ++i) {
        if (kind == 0) r.push_back(base);
        if (kind == 1) r.push_back(static_cast<unsigned char>(base + i));
        if (kind == 2) r.push_back(static_cast<unsigned char>(rng()));
      }
    }
    return r;
  }();
  return rows;
}

constexpr unsigned long kRowBytes = 4096;

std::string Encoded() {
  auto const& rows = ImageRows();
  std::string out;
  OStringByteStream sink(out);
  ORLEByteStream rle(sink);
  for (std::size_t at = 0; at < rows.size(); at += kRowBytes) {
    rle.WriteBlock(rows.data() + at, kRowBytes);
    rle.Flush();  // each row on its own, as image formats code them
  }
  return out;
}

void BM_PackBits_Encode(benchmark::State& state) {
  auto const& rows = ImageRows();
  std::vector<unsigned char> out(rows.size() * 2);
  for (auto _ : state) {
    OBufferByteStream sink(out.data(), out.size());
    ORLEByteStream rle(sink);
    for (std::size_t at = 0; at < rows.size(); at += kRowBytes) {
      rle.WriteBlock(rows.data() + at, kRowBytes);
      rle.Flush();
    }
    benchmark::DoNotOptimize(sink.Count());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rows.size()));
  state.counters["ratio"] = static_cast<double>(Encoded().size()) / rows.size();
}
BENCHMARK(BM_PackBits_Encode)->Unit(benchmark::kMillisecond);

void BM_PackBits_Decode(benchmark::State& state) {
  auto const& rows = ImageRows();
  std::string const packets = Encoded();
  std::vector<unsigned char> row(kRowBytes);
  for (auto _ : state) {
    IBufferByteStream source(reinterpret_cast<unsigned char const*>(packets.data()),
                             packets.size());
    IRLEByteStream rle(source);
    for (std::size_t at = 0; at < rows.size(); at += kRowBytes) {
      rle.ReadBlock(row.data(), kRowBytes);
      benchmark::DoNotOptimize(row.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rows.size()));
}
BENCHMARK(BM_PackBits_Decode)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
