// Random seeks, reads and writes through the buffered streams, checked against a plain
// vector: the same sequences run over memory and over files.
#ifndef VIREO_TESTS_FILESUPPORT_BUFFEREDMODEL_H
#define VIREO_TESTS_FILESUPPORT_BUFFEREDMODEL_H

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "vireo/filesupport/BufferedByteStream.h"

namespace vireo {
namespace filesupport {
namespace testing {

// The contents written, and how far they reach.
struct Model {
  std::vector<unsigned char> bytes = std::vector<unsigned char>(4096);
  std::size_t end = 0;
};

constexpr std::size_t kModelLimit = 4000;

// Writes 300 random operations through an OBufferedByteStream on inTarget (which starts
// empty at position 0) and flushes; the model follows. Positions go anywhere up to a little
// past the end, and near the current position half of the time: the edges of the dirty range
// matter.
inline void WriteRandomly(OByteStream& inTarget, unsigned long inBufferSize, std::mt19937& rng,
                          Model& model) {
  OBufferedByteStream out(inTarget, inBufferSize, 1);
  std::size_t pos = 0;
  for (int op = 0; op < 300; ++op) {
    switch (rng() % 4) {
      case 0: {
        std::size_t far = rng() % std::min(model.end + 100, kModelLimit - 500);
        std::size_t step = rng() % 7;
        std::size_t near = std::min(pos + step < 3 ? 0 : pos + step - 3, kModelLimit - 500);
        pos = rng() % 2 ? far : near;
        out.CurPos(pos);
        break;
      }
      case 1: {
        unsigned char b = static_cast<unsigned char>(rng());
        out.Put(b);
        model.bytes[pos++] = b;
        break;
      }
      default: {
        std::vector<unsigned char> block(rng() % (2 * inBufferSize + 2));
        for (auto& b : block) b = static_cast<unsigned char>(rng());
        if (pos + block.size() > kModelLimit) break;
        out.WriteBlock(block.data(), block.size());
        std::copy(block.begin(), block.end(), model.bytes.begin() + pos);
        pos += block.size();
      }
    }
    model.end = std::max(model.end, pos);
    ASSERT_EQ(pos, out.CurPos());
  }
  out.Flush();
}

// Reads inSource (holding the model's bytes up to its end, at position 0) with 300 random
// operations through an IBufferedByteStream; every byte and every end must match.
inline void ReadRandomly(IByteStream& inSource, std::mt19937& rng, Model const& model) {
  unsigned long alignment = 1 + rng() % 64;
  IBufferedByteStream in(inSource, alignment + 1 + rng() % 300, alignment);
  ASSERT_EQ(model.end, in.Length());
  std::size_t pos = 0;
  for (int op = 0; op < 300; ++op) {
    switch (rng() % 3) {
      case 0:
        pos = rng() % (model.end + 1);
        in.CurPos(pos);
        break;
      case 1:
        if (pos == model.end) {
          EXPECT_THROW(in.Get(), eof_error);
        } else {
          ASSERT_EQ(model.bytes[pos], in.Get()) << "at " << pos;
          ++pos;
        }
        break;
      default: {
        std::vector<unsigned char> got(rng() % 400);
        if (pos + got.size() > model.end) {
          EXPECT_THROW(in.ReadBlock(got.data(), got.size()), eof_error);
        } else {
          in.ReadBlock(got.data(), got.size());
          ASSERT_TRUE(std::equal(got.begin(), got.end(), model.bytes.begin() + pos)) << pos;
          pos += got.size();
        }
      }
    }
    ASSERT_EQ(pos, in.CurPos());
  }
}

}  // namespace testing
}  // namespace filesupport
}  // namespace vireo

#endif
