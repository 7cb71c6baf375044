// The PackBits decoder on any input: never a crash or a sanitizer report; byte by byte and in
// blocks it gives what a plain reading of the packets gives, then reports the end; and what it
// gives, encoded again, decodes to itself within the scheme's worst-case size.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "vireo/filesupport/MemoryByteStreams.h"
#include "vireo/filesupport/RLEByteStream.h"

namespace {

using vireo::filesupport::eof_error;
using vireo::filesupport::IBufferByteStream;
using vireo::filesupport::IRLEByteStream;
using vireo::filesupport::IStringByteStream;
using vireo::filesupport::ORLEByteStream;
using vireo::filesupport::OStringByteStream;

// Every whole packet of the input, decoded; a cut-off last packet gives what it holds.
std::string Reference(std::uint8_t const* data, std::size_t size) {
  std::string out;
  std::size_t i = 0;
  while (i < size) {
    int h = static_cast<signed char>(data[i++]);
    if (h == -128) continue;
    if (h >= 0) {
      for (int k = 0; k <= h && i < size; ++k) out.push_back(static_cast<char>(data[i++]));
    } else if (i < size) {
      out.append(static_cast<std::size_t>(1 - h), static_cast<char>(data[i++]));
    }
  }
  return out;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  std::string const expected = Reference(data, size);

  IBufferByteStream bytes(data, size);
  IRLEByteStream single(bytes);
  std::string got;
  try {
    for (;;) got.push_back(static_cast<char>(single.Get()));
  } catch (eof_error const&) {
  }
  Check(got == expected);

  // Blocks of a size taken from the input, exactly as many bytes as there are.
  IBufferByteStream again(data, size);
  IRLEByteStream blocks(again);
  std::string read(expected.size(), '\0');
  std::size_t step = size > 0 ? data[0] % 200 + 1 : 1;
  for (std::size_t at = 0; at < read.size(); at += step) {
    std::size_t n = std::min(step, read.size() - at);
    blocks.ReadBlock(reinterpret_cast<unsigned char*>(&read[at]), n);
  }
  Check(read == expected);
  bool ended = false;
  try {
    blocks.Get();
  } catch (eof_error const&) {
    ended = true;
  }
  Check(ended);

  std::string encoded;
  {
    OStringByteStream sink(encoded);
    ORLEByteStream rle(sink);
    rle.WriteBlock(reinterpret_cast<unsigned char const*>(expected.data()), expected.size());
    rle.Flush();
  }
  Check(encoded.size() <= expected.size() + (expected.size() + 127) / 128);
  IStringByteStream source(encoded);
  IRLEByteStream decoder(source);
  std::string decoded(expected.size(), '\0');
  decoder.ReadBlock(reinterpret_cast<unsigned char*>(&decoded[0]), decoded.size());
  Check(decoded == expected);
  Check(source.CurPos() == encoded.size());
  return 0;
}
