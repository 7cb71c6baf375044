// A record holding every binary type at its edge values, written to any output stream and
// checked when read back. On a stream that honours positions, the header is written last, by
// going back to it, and a value in the middle is overwritten the same way.
#ifndef VIREO_TESTS_FILESUPPORT_STREAMRECORD_H
#define VIREO_TESTS_FILESUPPORT_STREAMRECORD_H

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "vireo/filesupport/ByteStream.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {
namespace testing {

inline std::string RecordText() {
  std::string text;
  for (int i = 0; i < 1000; ++i) text.push_back(static_cast<char>(i * 31 + 7));
  return text;
}

inline utility::UTF16String RecordUnits() {
  utility::UTF16String units;
  for (unsigned i = 0; i < 300; ++i) units.push_back(static_cast<unsigned short>(i * 0x123u));
  return units;
}

constexpr unsigned long kRecordMagic = 0xCAFEF00Dul;
constexpr long double kRecordLongDouble = 1.0L / 3;

// Writes the record; returns the position after it.
inline unsigned long long WriteRecord(OByteStream& s, bool positionable) {
  unsigned long long start = s.CurPos();
  s << (positionable ? 0ul : kRecordMagic);
  s << true << false << 'c' << static_cast<signed char>(-128) << static_cast<unsigned char>(255);
  s << std::numeric_limits<short>::min() << std::numeric_limits<unsigned short>::max();
  unsigned long long middle = s.CurPos();
  s << (positionable ? 0l : -2147483647l - 1) << 4294967295ul;
  s << std::numeric_limits<long long>::min() << std::numeric_limits<unsigned long long>::max();
  s << RecordText() << RecordUnits() << std::string() << utility::UTF16String();
  s << 0.1f << -1e-300 << kRecordLongDouble;
  unsigned long long end = s.CurPos();
  if (positionable) {
    s.CurPos(start);
    s << kRecordMagic;
    s.CurPos(middle);
    s << -2147483647l - 1;
    s.CurPos(end);
  }
  return end;
}

inline void ExpectRecord(IByteStream& s) {
  unsigned long magic = 0;
  bool t = false, f = true;
  char c = 0;
  signed char sc = 0;
  unsigned char uc = 0;
  short sh = 0;
  unsigned short us = 0;
  long l = 0;
  unsigned long ul = 0;
  long long ll = 0;
  unsigned long long ull = 0;
  std::string text, empty = "x";
  utility::UTF16String units, emptyUnits(1, 'x');
  float fl = 0;
  double d = 0;
  long double ld = 0;
  s >> magic >> t >> f >> c >> sc >> uc >> sh >> us >> l >> ul >> ll >> ull;
  s >> text >> units >> empty >> emptyUnits >> fl >> d >> ld;
  EXPECT_EQ(kRecordMagic, magic);
  EXPECT_TRUE(t);
  EXPECT_FALSE(f);
  EXPECT_EQ('c', c);
  EXPECT_EQ(-128, sc);
  EXPECT_EQ(255, uc);
  EXPECT_EQ(std::numeric_limits<short>::min(), sh);
  EXPECT_EQ(std::numeric_limits<unsigned short>::max(), us);
  EXPECT_EQ(-2147483647l - 1, l);
  EXPECT_EQ(4294967295ul, ul);
  EXPECT_EQ(std::numeric_limits<long long>::min(), ll);
  EXPECT_EQ(std::numeric_limits<unsigned long long>::max(), ull);
  EXPECT_EQ(RecordText(), text);
  EXPECT_TRUE(RecordUnits() == units);
  EXPECT_TRUE(empty.empty());
  EXPECT_TRUE(emptyUnits.empty());
  EXPECT_EQ(0.1f, fl);
  EXPECT_EQ(-1e-300, d);
  EXPECT_EQ(kRecordLongDouble, ld);
}

}  // namespace testing
}  // namespace filesupport
}  // namespace vireo

#endif
