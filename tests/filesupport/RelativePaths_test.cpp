// Relative paths between files, and their way back to files.
#include "vireo/filesupport/RelativePaths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vireo {
namespace filesupport {
namespace {

UTF16String U(std::string const& ascii) { return utility::AsciiToUTF16(ascii.c_str()); }

TEST(RelativePaths, IsNormalizedRelativePath) {
  struct Case {
    char const* path;
    bool relative;
  } const cases[] = {
      {"", false},         {"/a", false},       {"\\a", false},  {"C:\\a", false},
      {"C:", false},       {"c:rel", false},    {"a", true},     {":", true},
      {"a/b.txt", true},   {"../b", true},      {"./b", true},   {"ab:c", true},
  };
  for (Case const& c : cases) EXPECT_EQ(c.relative, IsNormalizedRelativePath(U(c.path))) << c.path;
}

TEST(RelativePaths, MakeNormalizedRelativePath) {
  struct Case {
    char const* target;
    char const* base;
    char const* relative;
  } const cases[] = {
      {"C:\\a\\b\\c\\clip.avi", "C:\\a\\x\\project.prj", "../b/c/clip.avi"},
      {"C:\\a\\clip.avi", "C:\\a\\project.prj", "clip.avi"},
      {"C:\\a\\b\\clip.avi", "C:\\a\\project.prj", "b/clip.avi"},
      {"C:\\a\\clip.avi", "C:\\a\\b\\c\\project.prj", "../../clip.avi"},
      {"C:\\clip.avi", "C:\\a\\project.prj", "../clip.avi"},
      {"D:\\a\\clip.avi", "C:\\a\\project.prj", ""},   // other drives share nothing
      {"C:\\A\\clip.avi", "C:\\a\\project.prj", "../A/clip.avi"},  // exact comparison
      {"C:\\A\\b\\clip.avi", "C:\\a\\b\\p.prj", "../../A/b/clip.avi"},
      {"\\home\\ann\\media\\clip.avi", "\\home\\ann\\docs\\p.prj", "../media/clip.avi"},
      {"\\tmp\\clip.avi", "\\home\\ann\\p.prj", "../../tmp/clip.avi"},
  };
  for (Case const& c : cases) {
    EXPECT_EQ(U(c.relative), MakeNormalizedRelativePath(File(U(c.target)), File(U(c.base))))
        << c.target << " from " << c.base;
  }
}

TEST(RelativePaths, MakeFileFromPath) {
  struct Case {
    char const* path;
    char const* base;
    char const* file;
  } const cases[] = {
      {"../b/c/clip.avi", "C:\\a\\x\\project.prj", "C:\\a\\b\\c\\clip.avi"},
      {"./clip.avi", "C:\\a\\project.prj", "C:\\a\\clip.avi"},
      {"clip.avi", "C:\\a\\project.prj", "C:\\a\\clip.avi"},
      {"sub/", "C:\\a\\project.prj", ""},  // names a directory: no file
      {"a/./b/../c.txt", "C:\\r\\p.prj", "C:\\r\\a\\c.txt"},
      {"C:\\other\\clip.avi", "C:\\a\\project.prj", "C:\\other\\clip.avi"},
      {"\\other\\clip.avi", "C:\\a\\project.prj", "\\other\\clip.avi"},
      {"/other/clip.avi", "C:\\a\\project.prj", "\\other\\clip.avi"},
      {"..\\b\\clip.avi", "C:\\a\\project.prj", "C:\\a\\..\\b\\clip.avi"},  // only "/" separates
      {"../../clip.avi", "\\home\\ann\\p.prj", "\\clip.avi"},
  };
  for (Case const& c : cases) {
    EXPECT_EQ(U(c.file), MakeFileFromPath(U(c.path), File(U(c.base))).FullPath())
        << c.path << " from " << c.base;
  }
}

TEST(RelativePaths, EveryPairRoundTrips) {
  std::vector<char const*> const files = {
      "C:\\p.prj",           "C:\\a\\clip.avi",        "C:\\a\\b\\c\\clip.avi",
      "C:\\a\\x\\p.prj",     "C:\\a\\b\\d\\e\\f.wav",  "C:\\z\\y.txt",
      "D:\\a\\clip.avi",     "\\home\\ann\\p.prj",      "\\home\\ann\\m\\clip.avi",
      "\\tmp\\x.txt",        "\\x.txt"};
  int relatives = 0;
  for (char const* target : files) {
    for (char const* base : files) {
      File const t(U(target)), b(U(base));
      UTF16String const relative = MakeNormalizedRelativePath(t, b);
      if (relative.empty()) continue;  // no common directory
      ++relatives;
      EXPECT_TRUE(IsNormalizedRelativePath(relative));
      EXPECT_EQ(U(target), MakeFileFromPath(relative, b).FullPath())
          << target << " from " << base;
    }
  }
  // Pairs on drive C:, on drive D: and under the root share a directory; no others do.
  EXPECT_EQ(6 * 6 + 1 * 1 + 4 * 4, relatives);
}

}  // namespace
}  // namespace filesupport
}  // namespace vireo
