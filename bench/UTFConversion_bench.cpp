// UTF-8 <-> UTF-16 conversion speed of vireo against ICU (u_strFromUTF8 / u_strToUTF8) and
// iconv (UTF-8 <-> UTF-16LE), on 1 MiB of ASCII, accented Latin, CJK and emoji text.
//
// How the comparison is made fair:
// - Every converter gets the same input, prepared once before timing; at start-up the program
//   checks that all three produce the same output for every input.
// - ICU and iconv write into a destination buffer sized once before timing and reused by
//   every iteration (their fastest use). vireo returns a new string on every call, so its
//   figures include allocating, sizing and freeing the result. The comparison is therefore
//   tilted towards the peers.
// - iconv's conversion state is reset before each iteration; ICU needs no state.
// - Throughput is the input size per second: UTF-8 bytes for UTF8to16, UTF-16 bytes (two per
//   unit) for UTF16to8, the same figure for every converter of a direction.
//
// Run: bench_utf_conversion --benchmark_min_time=0.5
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unicode/ustring.h>
#include <unicode/utypes.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "vireo/utility/UTF16String.h"

namespace {

using vireo::utility::UTF16String;
using vireo::utility::UTF8String;

constexpr std::size_t kInputBytes = 1 << 20;

struct Sample {
  char const* name;
  char const* text;  // UTF-8, repeated up to kInputBytes
};

Sample const kSamples[] = {
    {"ascii",
     "The quick brown fox jumps over the lazy dog while the committee reviews the quarterly "
     "report, line 42: { \"key\": [1, 2, 3], \"path\": \"/usr/local/share\" }\n"},
    {"latin",
     "Der Bär läuft über die Brücke; Grüße aus München, schöne Größe, Füße, Äpfel und Öl. "
     "L'élève français a déjà étudié à l'école : « Ça été très célèbre », dit-il, ému. "
     "Señor Núñez añadió: ¿qué pasó en Málaga? "},
    {"cjk",
     "統一碼是計算機科學領域裡的一項業界標準，包括字元集、編碼方案等。"
     "日本語の文章を変換します。漢字と仮名を含む長い文です。"
     "한국어 문장도 포함됩니다。"},
    {"emoji", "😀😃😄😁😆😅🤣😂🙂🙃😉😊😇🥰😍🤩😘😗☺😚😙🥲😋😛 🎉🚀🌍🔥💯✨ "},
};

UTF8String MakeInput(char const* text) {
  UTF8String sample(reinterpret_cast<unsigned char const*>(text), std::strlen(text));
  UTF8String input;
  input.reserve(kInputBytes + sample.size());
  while (input.size() + sample.size() <= kInputBytes) input += sample;
  // Fill the rest with whole characters of the sample.
  for (std::size_t i = 0; input.size() < kInputBytes && i < sample.size(); ++i) {
    std::size_t n = 1;
    while (i + n < sample.size() && (sample[i + n] & 0xC0) == 0x80) ++n;
    if (input.size() + n > kInputBytes) break;
    input.append(sample, i, n);
    i += n - 1;
  }
  return input;
}

struct Input {
  std::string name;
  UTF8String utf8;
  UTF16String utf16;
};

std::vector<Input>& Inputs() {
  static std::vector<Input> inputs;
  return inputs;
}

[[noreturn]] void Fail(char const* what, std::string const& name) {
  std::fprintf(stderr, "%s differs for %s\n", what, name.c_str());
  std::exit(1);
}

// ---- UTF-8 to UTF-16 ------------------------------------------------------------------------

void VireoTo16(benchmark::State& state, Input const* in) {
  for (auto _ : state) {
    UTF16String result = vireo::utility::UTF8to16(in->utf8);
    benchmark::DoNotOptimize(result.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in->utf8.size()));
}

void IcuTo16(benchmark::State& state, Input const* in) {
  std::vector<UChar> buffer(in->utf8.size() + 1);
  for (auto _ : state) {
    UErrorCode error = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(buffer.data(), static_cast<int32_t>(buffer.size()), &length,
                  reinterpret_cast<char const*>(in->utf8.data()),
                  static_cast<int32_t>(in->utf8.size()), &error);
    benchmark::DoNotOptimize(length);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in->utf8.size()));
}

// iconv converts between two byte buffers; returns the bytes written or -1.
long RunIconv(iconv_t cd, unsigned char const* from, std::size_t fromBytes, char* to,
              std::size_t toBytes) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = reinterpret_cast<char*>(const_cast<unsigned char*>(from));
  char* dst = to;
  std::size_t left = fromBytes, room = toBytes;
  if (iconv(cd, &src, &left, &dst, &room) == static_cast<std::size_t>(-1)) return -1;
  return static_cast<long>(dst - to);
}

void IconvTo16(benchmark::State& state, Input const* in) {
  iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  std::vector<char> buffer(in->utf8.size() * 2 + 16);
  for (auto _ : state) {
    long const written = RunIconv(cd, in->utf8.data(), in->utf8.size(), buffer.data(), buffer.size());
    benchmark::DoNotOptimize(written);
    benchmark::DoNotOptimize(buffer.data());
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in->utf8.size()));
}

// ---- UTF-16 to UTF-8 ------------------------------------------------------------------------

void VireoTo8(benchmark::State& state, Input const* in) {
  for (auto _ : state) {
    UTF8String result = vireo::utility::UTF16to8(in->utf16);
    benchmark::DoNotOptimize(result.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in->utf16.size() * 2));
}

void IcuTo8(benchmark::State& state, Input const* in) {
  std::vector<char> buffer(in->utf16.size() * 3 + 1);
  for (auto _ : state) {
    UErrorCode error = U_ZERO_ERROR;
    int32_t length = 0;
    u_strToUTF8(buffer.data(), static_cast<int32_t>(buffer.size()), &length,
                reinterpret_cast<UChar const*>(in->utf16.data()),
                static_cast<int32_t>(in->utf16.size()), &error);
    benchmark::DoNotOptimize(length);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in->utf16.size() * 2));
}

void IconvTo8(benchmark::State& state, Input const* in) {
  iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
  std::vector<char> buffer(in->utf16.size() * 3 + 16);
  for (auto _ : state) {
    long const written =
        RunIconv(cd, reinterpret_cast<unsigned char const*>(in->utf16.data()),
                 in->utf16.size() * 2, buffer.data(), buffer.size());
    benchmark::DoNotOptimize(written);
    benchmark::DoNotOptimize(buffer.data());
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in->utf16.size() * 2));
}

// Every converter must agree on every input, or the timings compare different work.
void CheckAgreement(Input const& in) {
  std::vector<UChar> icu16(in.utf8.size() + 1);
  UErrorCode error = U_ZERO_ERROR;
  int32_t length = 0;
  u_strFromUTF8(icu16.data(), static_cast<int32_t>(icu16.size()), &length,
                reinterpret_cast<char const*>(in.utf8.data()), static_cast<int32_t>(in.utf8.size()),
                &error);
  if (U_FAILURE(error) || static_cast<std::size_t>(length) != in.utf16.size() ||
      std::memcmp(icu16.data(), in.utf16.data(), in.utf16.size() * 2) != 0)
    Fail("ICU UTF-16", in.name);

  std::vector<char> icu8(in.utf16.size() * 3 + 1);
  error = U_ZERO_ERROR;
  u_strToUTF8(icu8.data(), static_cast<int32_t>(icu8.size()), &length,
              reinterpret_cast<UChar const*>(in.utf16.data()), static_cast<int32_t>(in.utf16.size()),
              &error);
  UTF8String const vireo8 = vireo::utility::UTF16to8(in.utf16);
  if (U_FAILURE(error) || vireo8 != in.utf8 || static_cast<std::size_t>(length) != in.utf8.size() ||
      std::memcmp(icu8.data(), in.utf8.data(), in.utf8.size()) != 0)
    Fail("UTF-8", in.name);

  std::vector<char> buffer(in.utf8.size() * 3 + 16);
  iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  long written = RunIconv(cd, in.utf8.data(), in.utf8.size(), buffer.data(), buffer.size());
  iconv_close(cd);
  if (written != static_cast<long>(in.utf16.size() * 2) ||
      std::memcmp(buffer.data(), in.utf16.data(), written) != 0)
    Fail("iconv UTF-16LE", in.name);
  cd = iconv_open("UTF-8", "UTF-16LE");
  written = RunIconv(cd, reinterpret_cast<unsigned char const*>(in.utf16.data()), in.utf16.size() * 2,
                     buffer.data(), buffer.size());
  iconv_close(cd);
  if (written != static_cast<long>(in.utf8.size()) ||
      std::memcmp(buffer.data(), in.utf8.data(), written) != 0)
    Fail("iconv UTF-8", in.name);
}

}  // namespace

int main(int argc, char** argv) {
  for (Sample const& sample : kSamples) {
    Input in;
    in.name = sample.name;
    in.utf8 = MakeInput(sample.text);
    in.utf16 = vireo::utility::UTF8to16(in.utf8);
    CheckAgreement(in);
    Inputs().push_back(std::move(in));
  }
  for (Input const& in : Inputs()) {
    benchmark::RegisterBenchmark(("UTF8to16/" + in.name + "/vireo").c_str(), VireoTo16, &in);
    benchmark::RegisterBenchmark(("UTF8to16/" + in.name + "/icu").c_str(), IcuTo16, &in);
    benchmark::RegisterBenchmark(("UTF8to16/" + in.name + "/iconv").c_str(), IconvTo16, &in);
  }
  for (Input const& in : Inputs()) {
    benchmark::RegisterBenchmark(("UTF16to8/" + in.name + "/vireo").c_str(), VireoTo8, &in);
    benchmark::RegisterBenchmark(("UTF16to8/" + in.name + "/icu").c_str(), IcuTo8, &in);
    benchmark::RegisterBenchmark(("UTF16to8/" + in.name + "/iconv").c_str(), IconvTo8, &in);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
