// Byte streams: CRC-32 through OCRCByteStream against zlib's crc32 and libdeflate called
// directly; PackBits encoding and decoding of image-like rows; writing and reading a file
// through the buffered platform streams against stdio with the same buffer size.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "vireo/filesupport/BufferedByteStream.h"
#include "vireo/filesupport/CRCByteStream.h"
#include "vireo/filesupport/File.h"
#include "vireo/filesupport/MemoryByteStreams.h"
#include "vireo/filesupport/PlatformByteStream.h"
#include "vireo/filesupport/RLEByteStream.h"
#include "vireo/utility/UTF16String.h"

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

// 256 MiB written and read in pieces of Arg bytes (1 = a byte at a time: Put/Get against
// putc/getc) through a 32 KiB buffer, in a file under $TMPDIR or /tmp.
constexpr std::size_t kFileSize = 256u << 20;
constexpr unsigned long kFileBuffer = 32768;

std::string const& FilePath() {
  static std::string const path = [] {
    char const* dir = std::getenv("TMPDIR");
    std::string name = std::string(dir && *dir ? dir : "/tmp") + "/vireo-bench-XXXXXX";
    int fd = mkstemp(&name[0]);
    if (fd < 0) std::abort();
    close(fd);
    return name;
  }();
  return path;
}

struct RemoveFile {
  ~RemoveFile() { std::remove(FilePath().c_str()); }
} gRemoveFile;

std::vector<unsigned char> Piece(std::size_t n) {
  std::vector<unsigned char> p(n);
  for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<unsigned char>(i * 7);
  return p;
}

File BenchFile() { return File(vireo::utility::AsciiToUTF16(FilePath().c_str())); }

// The reading benchmarks write their file themselves when it is not there yet, so that each
// can run alone (--benchmark_filter).
void MakeFileToRead() {
  std::FILE* f = std::fopen(FilePath().c_str(), "rb");
  if (f) {
    std::fseek(f, 0, SEEK_END);
    long const size = std::ftell(f);
    std::fclose(f);
    if (size >= 0 && static_cast<std::size_t>(size) == kFileSize) return;
  }
  f = std::fopen(FilePath().c_str(), "wb");
  if (!f) std::abort();
  std::vector<unsigned char> const block = Piece(1u << 20);
  for (std::size_t done = 0; done < kFileSize; done += block.size())
    if (std::fwrite(block.data(), 1, block.size(), f) != block.size()) std::abort();
  if (std::fclose(f) != 0) std::abort();
}

void BM_File_Write_Buffered(benchmark::State& state) {
  std::size_t const piece = static_cast<std::size_t>(state.range(0));
  std::vector<unsigned char> data = Piece(piece);
  for (auto _ : state) {
    File file = BenchFile();
    file.Create();
    OPlatformByteStream out(file);
    OBufferedByteStream buffered(out, kFileBuffer, 1);
    for (std::size_t done = 0; done < kFileSize; done += piece) {
      if (piece == 1) {
        buffered.Put(data[0]);
      } else {
        buffered.WriteBlock(data.data(), piece);
      }
    }
    buffered.Flush();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}
BENCHMARK(BM_File_Write_Buffered)->Arg(1)->Arg(1024)->Unit(benchmark::kMillisecond);

void BM_File_Write_Stdio(benchmark::State& state) {
  std::size_t const piece = static_cast<std::size_t>(state.range(0));
  std::vector<unsigned char> data = Piece(piece);
  std::vector<char> buffer(kFileBuffer);
  for (auto _ : state) {
    std::FILE* f = std::fopen(FilePath().c_str(), "wb");
    std::setvbuf(f, buffer.data(), _IOFBF, buffer.size());
    for (std::size_t done = 0; done < kFileSize; done += piece) {
      if (piece == 1) {
        std::putc(data[0], f);
      } else {
        std::fwrite(data.data(), 1, piece, f);
      }
    }
    std::fclose(f);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}
BENCHMARK(BM_File_Write_Stdio)->Arg(1)->Arg(1024)->Unit(benchmark::kMillisecond);

void BM_File_Read_Buffered(benchmark::State& state) {
  std::size_t const piece = static_cast<std::size_t>(state.range(0));
  std::vector<unsigned char> data(piece);
  MakeFileToRead();
  for (auto _ : state) {
    IPlatformByteStream in(BenchFile());
    IBufferedByteStream buffered(in, kFileBuffer, 4096);
    unsigned sum = 0;
    for (std::size_t done = 0; done < kFileSize; done += piece) {
      if (piece == 1) {
        sum += buffered.Get();
      } else {
        buffered.ReadBlock(data.data(), piece);
        sum += data[0];
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}
BENCHMARK(BM_File_Read_Buffered)->Arg(1)->Arg(1024)->Unit(benchmark::kMillisecond);

void BM_File_Read_Stdio(benchmark::State& state) {
  std::size_t const piece = static_cast<std::size_t>(state.range(0));
  std::vector<unsigned char> data(piece);
  std::vector<char> buffer(kFileBuffer);
  MakeFileToRead();
  for (auto _ : state) {
    std::FILE* f = std::fopen(FilePath().c_str(), "rb");
    std::setvbuf(f, buffer.data(), _IOFBF, buffer.size());
    unsigned sum = 0;
    for (std::size_t done = 0; done < kFileSize; done += piece) {
      if (piece == 1) {
        sum += static_cast<unsigned>(std::getc(f));
      } else {
        if (std::fread(data.data(), 1, piece, f) != piece) std::abort();
        sum += data[0];
      }
    }
    benchmark::DoNotOptimize(sum);
    std::fclose(f);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}
BENCHMARK(BM_File_Read_Stdio)->Arg(1)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
