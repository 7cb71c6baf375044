// Paths in the system's multi-byte character set, with a UTF-8 locale set for the process
// before its first conversion (the character set is read once per process).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "vireo/filesupport/File.h"
#include "vireo/filesupport/FileHelper.h"

namespace vireo {
namespace filesupport {
namespace {

TEST(FileHelperCharsetTest, MultiBytePathsRoundTrip) {
  ::setenv("LC_ALL", "C.UTF-8", 1);
  struct Case {
    std::string bytes;
    UTF16String units;
  } const cases[] = {
      {"C:/Gr\xC3\xBC\xC3\x9F" "e.wav", UTF16String{'C', ':', '\\', 'G', 'r', 0xFC, 0xDF, 'e', '.', 'w', 'a', 'v'}},
      // Three bytes a unit: more than twice the length, and still whole.
      {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", UTF16String{0x65E5, 0x672C, 0x8A9E}},
      {"\\\\?\\C:\\x", UTF16String{'C', ':', '\\', 'x'}},
  };
  for (Case const& c : cases) {
    FileHelper const helper(c.bytes);
    EXPECT_EQ(c.units, helper.Path()) << c.bytes;
    std::string expected = c.bytes;
    for (char& b : expected)
      if (b == '/') b = '\\';
    if (expected.compare(0, 4, "\\\\?\\") == 0) expected.erase(0, 4);
    EXPECT_EQ(expected, helper.MultiBytePath()) << c.bytes;
    EXPECT_EQ(expected, File(helper).FullPathMultiByte()) << c.bytes;
  }
  // Bytes that are not text in the character set do not end the path.
  EXPECT_EQ((UTF16String{'a', 0xFFFD, 'b'}), FileHelper(std::string("a\xFF" "b")).Path());
}

}  // namespace
}  // namespace filesupport
}  // namespace vireo
