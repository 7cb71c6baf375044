// Guid: layout, fields and text form, parsing (with the raised error and its fallback),
// the ordering with its signed last words, creation and the stream operators.
#include "vireo/utility/Guid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <iomanip>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "tests/support/RecordingErrorManager.h"

namespace vireo {
namespace utility {
namespace {

using testing::RecordingErrorManager;
using testing::ScopedErrorManager;

UTF16String W(std::string const& ascii) { return UTF16String(ascii.begin(), ascii.end()); }

std::string N(UTF16String const& s) {
  UTF8String const bytes = UTF16to8(s);
  return std::string(bytes.begin(), bytes.end());
}

char const kSample[] = "01234567-89ab-cdef-0123-456789abcdef";
Guid const kSampleGuid(0x01234567, 0x89AB, 0xCDEF, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD,
                       0xEF);

void ExpectMalformedRaised(RecordingErrorManager const& manager, std::string const& what) {
  ASSERT_EQ(1u, manager.errors.size()) << what;
  testing::RecordedError const& e = manager.errors[0];
  EXPECT_EQ(config::kErrorLevelNonFatal, e.level);
  EXPECT_EQ("$$$/wren/utility/Error/MalformedGUID=Malformed Guid string.", e.key);
  EXPECT_EQ(105u, e.component);
  EXPECT_EQ(28, e.code);
  EXPECT_TRUE(e.deferrable);
  for (config::ReplacementValue const& v : e.values) EXPECT_EQ(config::kNone, v.kind);
}

TEST(Guid, IsThePlainSixteenByteLayout) {
  EXPECT_TRUE(std::is_trivially_copyable<Guid>::value);
  EXPECT_TRUE(std::is_standard_layout<Guid>::value);
  EXPECT_EQ(0u, offsetof(platform::_GUID, Data1));
  EXPECT_EQ(4u, offsetof(platform::_GUID, Data2));
  EXPECT_EQ(6u, offsetof(platform::_GUID, Data3));
  EXPECT_EQ(8u, offsetof(platform::_GUID, Data4));
  EXPECT_EQ(static_cast<void const*>(&kSampleGuid),
            static_cast<void const*>(&kSampleGuid.GetGUID()));
}

TEST(Guid, FieldsAndTextForm) {
  EXPECT_EQ(Guid(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), Guid());
  EXPECT_EQ("00000000-0000-0000-0000-000000000000", N(Guid().AsString()));

  EXPECT_EQ(0x01234567u, kSampleGuid.Data1);
  EXPECT_EQ(0x89ABu, kSampleGuid.Data2);
  EXPECT_EQ(0xCDEFu, kSampleGuid.Data3);
  EXPECT_EQ(0xEF, kSampleGuid.Data4[7]);
  EXPECT_EQ(kSample, N(kSampleGuid.AsString()));
  // Data1 holds 32 bits of the long it is given.
  EXPECT_EQ(Guid(0xFFFFFFFFUL, 0xFFFF, 0xFFFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF)
                .AsString(),
            W("ffffffff-ffff-ffff-ffff-ffffffffffff"));
  EXPECT_EQ(0x89ABCDEFu, Guid(0x1234567889ABCDEFUL, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0).Data1);

  // Copies through the platform record keep every byte.
  platform::_GUID const raw = kSampleGuid.GetGUID();
  Guid copy;
  copy = Guid(raw);
  EXPECT_EQ(kSampleGuid, copy);
}

TEST(Guid, ParsesTheTextFormInEitherCase) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  std::string upper = kSample;
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
  for (std::string const& text : {std::string(kSample), upper, std::string("01234567-89AB-cdef-0123-456789ABcdef")}) {
    EXPECT_EQ(kSampleGuid, Guid(text)) << text;
    EXPECT_EQ(kSampleGuid, Guid(text.c_str())) << text;
    EXPECT_EQ(kSampleGuid, Guid(W(text))) << text;
  }
  EXPECT_TRUE(manager.errors.empty());
}

TEST(Guid, MalformedTextsRaiseAndGiveNil) {
  std::string const bad[] = {
      "",
      "{01234567-89ab-cdef-0123-456789abcdef}",  // braces
      "01234567-89ab-cdef-0123-456789abcde",     // 35 characters
      "01234567-89ab-cdef-0123-456789abcdef0",   // 37
      "0123456789ab-cdef-0123-456789abcdef-",    // dashes moved
      "01234567-89ab-cdef-0123_456789abcdef",    // another separator
      "0123456g-89ab-cdef-0123-456789abcdef",    // not a hex digit
      " 1234567-89ab-cdef-0123-456789abcdef",    // white space inside the form
      "+1234567-89ab-cdef-0123-456789abcdef",    // a sign where strtoul would take one
      std::string("01234567-89ab-cdef-0123-456789abcde\0", 36),
      "0123456789abcdef0123456789abcdef",        // the digits without dashes
  };
  for (std::string const& text : bad) {
    for (int form = 0; form < 3; ++form) {
      RecordingErrorManager manager;
      ScopedErrorManager scope(&manager);
      Guid const parsed = form == 0   ? Guid(text)
                          : form == 1 ? Guid(text.c_str())
                                      : Guid(W(text));
      EXPECT_EQ(Guid(), parsed) << text << " form " << form;
      ExpectMalformedRaised(manager, text);
    }
  }
  // A unit beyond ASCII cannot be part of the form, whatever its UTF-8 bytes.
  UTF16String wide = W(kSample);
  wide[0] = 0xFF10;  // full-width zero
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  EXPECT_EQ(Guid(), Guid(wide));
  EXPECT_EQ(Guid(), Guid(static_cast<char const*>(nullptr)));
  EXPECT_EQ(2u, manager.errors.size());
}

TEST(Guid, MalformedTextPassesAThrowingManagersException) {
  testing::ThrowingErrorManager manager;
  ScopedErrorManager scope(&manager);
  try {
    Guid const parsed("not a guid");
    FAIL() << "no error raised";
  } catch (testing::RaisedError const& e) {
    EXPECT_EQ(28, e.code);
    EXPECT_EQ(105u, e.component);
  }
}

TEST(Guid, OrderingComparesSignedLittleEndianWords) {
  struct Case {
    Guid smaller, larger;
    char const* why;
  } const cases[] = {
      {Guid(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), Guid(0x80000000UL, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
       "Data1 is unsigned"},
      {Guid(2, 0xFFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0), Guid(3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
       "Data1 decides before Data2"},
      {Guid(0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0), Guid(0, 0x8000, 0, 0, 0, 0, 0, 0, 0, 0, 0),
       "Data2 is unsigned"},
      {Guid(0, 0, 0x7FFF, 0xFF, 0, 0, 0, 0, 0, 0, 0), Guid(0, 0, 0x8000, 0, 0, 0, 0, 0, 0, 0, 0),
       "Data3 is unsigned and decides before Data4"},
      {Guid(0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0), Guid(0, 0, 0, 0, 0, 0, 0x00, 0, 0, 0, 0),
       "byte 3 is the sign of the first word"},
      {Guid(0, 0, 0, 0x00, 0, 0, 0, 0, 0, 0, 0), Guid(0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0),
       "byte 0 is the low byte of the first word"},
      {Guid(0, 0, 0, 0x02, 0x00, 0, 0, 0, 0, 0, 0), Guid(0, 0, 0, 0x01, 0x01, 0, 0, 0, 0, 0, 0),
       "little-endian, not byte by byte"},
      {Guid(0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0), Guid(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
       "minus one before zero"},
      {Guid(0, 0, 0, 0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0x7F), Guid(0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0),
       "the first word decides before the second"},
      {Guid(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80), Guid(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
       "byte 7 is the sign of the second word"},
      {Guid(0, 0, 0, 0, 0, 0, 0, 0x01, 0, 0, 0), Guid(0, 0, 0, 0, 0, 0, 0, 0x00, 0x01, 0, 0),
       "the second word is little-endian too"},
  };
  for (Case const& c : cases) {
    EXPECT_TRUE(c.smaller < c.larger) << c.why;
    EXPECT_FALSE(c.larger < c.smaller) << c.why;
    EXPECT_TRUE(c.larger > c.smaller) << c.why;
    EXPECT_FALSE(c.smaller > c.larger) << c.why;
    EXPECT_TRUE(c.smaller != c.larger) << c.why;
    EXPECT_FALSE(c.smaller < c.smaller) << c.why;
    EXPECT_FALSE(c.smaller > c.smaller) << c.why;
  }
  // Equality sees every byte.
  for (int byte = 0; byte < 16; ++byte) {
    Guid changed = kSampleGuid;
    reinterpret_cast<unsigned char*>(&changed)[byte] ^= 0x40;
    EXPECT_NE(kSampleGuid, changed) << byte;
    EXPECT_TRUE(kSampleGuid < changed || changed < kSampleGuid) << byte;
  }
}

TEST(Guid, CreatedIdentifiersAreNewAndReadBack) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  std::set<Guid> seen;
  for (int i = 0; i < 1000; ++i) {
    Guid const made = Guid::CreateUnique();
    EXPECT_TRUE(seen.insert(made).second) << N(made.AsString());
    std::string text = N(made.AsString());
    ASSERT_EQ(36u, text.size());
    EXPECT_EQ(made, Guid(text));
    std::transform(text.begin(), text.end(), text.begin(), ::toupper);
    EXPECT_EQ(made, Guid(text));
  }
  EXPECT_EQ(1000u, seen.size());
  EXPECT_TRUE(manager.errors.empty());
}

TEST(Guid, WritesTheTextFormToStreams) {
  std::ostringstream narrow;
  narrow << "id " << kSampleGuid << '.';
  EXPECT_EQ(std::string("id ") + kSample + ".", narrow.str());

  oUTF16StringStream wide;
  wide << kSampleGuid;
  wide << " " << Guid();  // after other output: through the general 16-bit operator
  EXPECT_EQ(W(std::string(kSample) + " 00000000-0000-0000-0000-000000000000"), wide.str());

  // Formatted like a string: a field width pads it.
  std::ostringstream padded;
  padded << std::setw(38) << std::left << kSampleGuid << '|';
  EXPECT_EQ(std::string(kSample) + "  |", padded.str());
  oUTF16StringStream widePadded;
  widePadded << " ";
  widePadded.width(37);
  widePadded << kSampleGuid;
  EXPECT_EQ(W(std::string(" ") + " " + kSample), widePadded.str());
}

TEST(Guid, ReadsOneWordFromStreams) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  std::string const text = std::string("  ") + kSample + "\n00000000-0000-0000-0000-000000000001 x";

  std::istringstream narrow(text);
  Guid first, second;
  narrow >> first >> second;
  EXPECT_EQ(kSampleGuid, first);
  EXPECT_EQ(Guid(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1), second);
  EXPECT_TRUE(manager.errors.empty());
  Guid third = kSampleGuid;
  EXPECT_TRUE((narrow >> third).fail());  // "x" is malformed
  EXPECT_EQ(Guid(), third);
  ExpectMalformedRaised(manager, "x");

  iUTF16StringStream wide(W(text));
  Guid a, b;
  wide >> a >> b;
  EXPECT_EQ(kSampleGuid, a);
  EXPECT_EQ(second, b);
  EXPECT_FALSE(wide.fail());

  // Nothing left to read: the Guid is left alone and no error raised.
  manager.errors.clear();
  std::istringstream empty("   ");
  Guid untouched = kSampleGuid;
  EXPECT_TRUE((empty >> untouched).fail());
  EXPECT_EQ(kSampleGuid, untouched);
  EXPECT_TRUE(manager.errors.empty());
}

}  // namespace
}  // namespace utility
}  // namespace vireo
