// Process-wide parts of the file layer: the drive table and the character set, in a process
// of their own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/TestEnvironment.h"
#include "vireo/platform/Files.h"
#include "vireo/platform/Locale.h"

namespace vireo {
namespace platform {
namespace {

PathUnits Units(std::string const& ascii) { return PathUnits(ascii.begin(), ascii.end()); }

TEST(DriveTableTest, MapsListsAndRemovesDrives) {
  vireo::testing::IsolatedEnvironment environment;
  std::ofstream(environment.Temp() + "/clip.avi") << "x";

  EXPECT_EQ(kErrorInvalidParameter, MapDrive('1', "/"));
  EXPECT_EQ(kErrorInvalidParameter, MapDrive('Y', "relative"));
  ASSERT_EQ(kFileOk, MapDrive('y', environment.Temp().c_str()));

  std::string posix;
  PathUnits const native = Units("\\\\?\\Y:\\clip.avi");
  ASSERT_EQ(kFileOk, NativeToPosixPath(native.data(), native.size(), posix));
  EXPECT_EQ(environment.Temp() + "/clip.avi", posix);
  unsigned long attributes = 0;
  EXPECT_EQ(kFileOk, QueryAttributes(native.data(), native.size(), attributes));
  EXPECT_EQ(kAttributeNormal, attributes);

  unsigned short buffer[259];
  ASSERT_EQ(8u, ListDrives(259, buffer));
  EXPECT_EQ(Units(std::string("Y:\\\0Z:\\\0\0", 9)), PathUnits(buffer, buffer + 9));
  PathUnits const root = Units("Y:\\");
  EXPECT_NE(kDriveNoRootDir, DriveTypeOf(root.data(), root.size()));

  // A mapping to a directory that is gone has no root.
  ASSERT_EQ(kFileOk, MapDrive('X', (environment.Temp() + "/gone").c_str()));
  PathUnits const gone = Units("X:\\");
  EXPECT_EQ(kDriveNoRootDir, DriveTypeOf(gone.data(), gone.size()));

  ASSERT_EQ(kFileOk, MapDrive('Z', nullptr));
  ASSERT_EQ(kFileOk, MapDrive('X', nullptr));
  PathUnits const z = Units("\\\\?\\Z:\\tmp");
  EXPECT_EQ(kErrorPathNotFound, NativeToPosixPath(z.data(), z.size(), posix));
  EXPECT_EQ(4u, ListDrives(259, buffer));
  EXPECT_EQ('Y', buffer[0]);
}

TEST(CharacterSetTest, ConvertsThroughTheUserCharacterSet) {
  ::setenv("LC_ALL", "C.UTF-8", 1);
  std::string const text = "Gr\xC3\xBC\xC3\x9F" "e\xE2\x82\xAC";  // Grüße€
  PathUnits const units = {'G', 'r', 0xFC, 0xDF, 'e', 0x20AC};

  EXPECT_EQ(units.size(), MultiByteToUTF16(text.data(), text.size(), nullptr, 0));
  unsigned short wide[16];
  ASSERT_EQ(units.size(), MultiByteToUTF16(text.data(), text.size(), wide, 16));
  EXPECT_EQ(units, PathUnits(wide, wide + units.size()));
  EXPECT_EQ(0u, MultiByteToUTF16(text.data(), text.size(), wide, 3));  // too small
  EXPECT_EQ(0u, MultiByteToUTF16(text.data(), 0, wide, 16));

  EXPECT_EQ(text.size(), UTF16ToMultiByte(units.data(), units.size(), nullptr, 0));
  char narrow[32];
  ASSERT_EQ(text.size(), UTF16ToMultiByte(units.data(), units.size(), narrow, sizeof narrow));
  EXPECT_EQ(text, std::string(narrow, text.size()));

  // Bytes that are not UTF-8 become U+FFFD instead of ending the text.
  std::string const broken = "a\xFF" "b";
  ASSERT_EQ(3u, MultiByteToUTF16(broken.data(), broken.size(), wide, 16));
  EXPECT_EQ((PathUnits{'a', 0xFFFD, 'b'}), PathUnits(wide, wide + 3));
}

}  // namespace
}  // namespace platform
}  // namespace vireo
