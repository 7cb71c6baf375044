// Case mapping against ICU (u_strToUpper, u_strToLower, u_strFoldCase with the root locale) on
// 1 MiB of UTF-16 text in English, German, Greek and Cyrillic; and the linear string
// utilities (ReplaceInString, ConvertLineEndings) on 1 MiB and 8 MiB.
//
// The library allocates a new string per call; ICU writes into a buffer allocated once.
#include <benchmark/benchmark.h>

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <string>
#include <vector>

#include "vireo/utility/CaseMapping.h"
#include "vireo/utility/StringUtils.h"

namespace {

using vireo::utility::UTF16String;

std::size_t const kMiB = 1 << 20;

// Sample prose per language, repeated to the size wanted (in bytes of UTF-16).
char const* const kSamples[] = {
    "The quick brown fox jumps over the lazy dog while Harriet counts seventy-two sheep "
    "beside the River Thames. ",
    "Zw\xC3\xB6lf gro\xC3\x9F" "e Boxk\xC3\xA4mpfer jagen Viktor quer \xC3\xBC" "ber den Sylter "
    "Deich, w\xC3\xA4hrend die Stra\xC3\x9F" "e vor M\xC3\xBCnchen gesperrt bleibt. ",
    "\xCE\x9E\xCE\xB5\xCF\x83\xCE\xBA\xCE\xB5\xCF\x80\xCE\xAC\xCE\xB6\xCF\x89 \xCF\x84\xCE\xB7\xCE"
    "\xBD \xCF\x88\xCF\x85\xCF\x87\xCE\xBF\xCF\x86\xCE\xB8\xCF\x8C\xCF\x81\xCE\xB1 \xCE\xB2\xCE\xB4"
    "\xCE\xB5\xCE\xBB\xCF\x85\xCE\xB3\xCE\xBC\xCE\xAF\xCE\xB1 \xCF\x83\xCF\x84\xCE\xB7\xCE\xBD "
    "\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1. ",
    "\xD0\xA1\xD1\x8A\xD0\xB5\xD1\x88\xD1\x8C \xD0\xB6\xD0\xB5 \xD0\xB5\xD1\x89\xD1\x91 \xD1\x8D"
    "\xD1\x82\xD0\xB8\xD1\x85 \xD0\xBC\xD1\x8F\xD0\xB3\xD0\xBA\xD0\xB8\xD1\x85 \xD1\x84\xD1\x80\xD0"
    "\xB0\xD0\xBD\xD1\x86\xD1\x83\xD0\xB7\xD1\x81\xD0\xBA\xD0\xB8\xD1\x85 \xD0\xB1\xD1\x83\xD0\xBB"
    "\xD0\xBE\xD0\xBA \xD0\xB4\xD0\xB0 \xD0\xB2\xD1\x8B\xD0\xBF\xD0\xB5\xD0\xB9 \xD1\x87\xD0\xB0"
    "\xD1\x8E. ",
};
char const* const kLanguages[] = {"English", "German", "Greek", "Cyrillic"};

UTF16String Repeat(UTF16String const& piece, std::size_t bytes) {
  UTF16String text;
  while (text.size() * 2 < bytes) text += piece;
  text.resize(bytes / 2);
  return text;
}

UTF16String Sample(int language, std::size_t bytes) {
  std::string const utf8 = kSamples[language];
  return Repeat(vireo::utility::UTF8to16(
                    reinterpret_cast<unsigned char const*>(utf8.data()), utf8.size()),
                bytes);
}

enum Form { kUpper, kLower, kFold };

void Library(benchmark::State& state, Form form) {
  UTF16String const text = Sample(static_cast<int>(state.range(0)), kMiB);
  for (auto _ : state) {
    UTF16String result = form == kUpper   ? vireo::utility::UpperCase(text)
                         : form == kLower ? vireo::utility::LowerCase(text)
                                          : vireo::utility::FoldCase(text);
    benchmark::DoNotOptimize(result.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
  state.SetLabel(kLanguages[state.range(0)]);
}

void Icu(benchmark::State& state, Form form) {
  UTF16String const text = Sample(static_cast<int>(state.range(0)), kMiB);
  UChar const* source = reinterpret_cast<UChar const*>(text.data());
  int32_t const length = static_cast<int32_t>(text.size());
  std::vector<UChar> out(text.size() * 3);
  for (auto _ : state) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = form == kUpper ? u_strToUpper(out.data(), static_cast<int32_t>(out.size()), source,
                                              length, "", &status)
                : form == kLower ? u_strToLower(out.data(), static_cast<int32_t>(out.size()),
                                                source, length, "", &status)
                                 : u_strFoldCase(out.data(), static_cast<int32_t>(out.size()),
                                                 source, length, U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status)) state.SkipWithError("ICU failed");
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
  state.SetLabel(kLanguages[state.range(0)]);
}

void BM_UpperCase(benchmark::State& s) { Library(s, kUpper); }
void BM_IcuToUpper(benchmark::State& s) { Icu(s, kUpper); }
void BM_LowerCase(benchmark::State& s) { Library(s, kLower); }
void BM_IcuToLower(benchmark::State& s) { Icu(s, kLower); }
void BM_FoldCase(benchmark::State& s) { Library(s, kFold); }
void BM_IcuFoldCase(benchmark::State& s) { Icu(s, kFold); }
BENCHMARK(BM_UpperCase)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IcuToUpper)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LowerCase)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IcuToLower)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FoldCase)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IcuFoldCase)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

UTF16String Ascii(char const* text) {
  return vireo::utility::UTF8to16(reinterpret_cast<unsigned char const*>(text),
                                  std::char_traits<char>::length(text));
}

// A message text with a placeholder or an at sign every few words; range(0) MiB.
void BM_ReplaceInString(benchmark::State& state) {
  UTF16String const text =
      Repeat(Ascii("Could not copy '@0' to '@1' (@2 bytes, @@ kept): "), state.range(0) * kMiB);
  UTF16String const r0 = Ascii("C:\\Media\\clip.mov"), r1 = Ascii("D:\\Backup"), r2 = Ascii("42");
  UTF16String const none;
  for (auto _ : state) {
    UTF16String result = vireo::utility::ReplaceInString(text, r0, r1, r2, none, none, none, none,
                                                         none, none, none);
    benchmark::DoNotOptimize(result.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_ReplaceInString)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

// Lines of 60 units ending in LF, converted to CR LF; range(0) MiB.
void BM_ConvertLineEndings(benchmark::State& state) {
  UTF16String const text = Repeat(
      Ascii("A line of text with about sixty characters in it, ending.\n"), state.range(0) * kMiB);
  for (auto _ : state) {
    state.PauseTiming();
    UTF16String copy = text;
    state.ResumeTiming();
    vireo::utility::ConvertLineEndings(vireo::utility::kLineEndingCRLF, copy);
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_ConvertLineEndings)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
