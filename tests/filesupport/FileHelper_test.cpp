// Path values: the normal form, the native form, the parts of a path, file-name order.
#include "vireo/filesupport/FileHelper.h"

#include <gtest/gtest.h>

#include "vireo/filesupport/Dir.h"
#include "vireo/filesupport/File.h"

namespace vireo {
namespace filesupport {
namespace {

UTF16String U(char const* ascii) { return utility::AsciiToUTF16(ascii); }
std::string A(UTF16String const& units) { return std::string(units.begin(), units.end()); }

TEST(FileHelperTest, NormalFormNativeFormAndParts) {
  struct Case {
    char const* given;
    char const* stored;
    char const* native;
    char const* name;
    char const* title;
    char const* extension;
    char const* lowerExtension;
    char const* parent;
  } const cases[] = {
      {"C:/Data/clip.avi", "C:\\Data\\clip.avi", "\\\\?\\C:\\Data\\clip.avi", "clip.avi", "clip",
       ".avi", ".avi", "C:\\Data"},
      {"\\\\?\\UNC\\srv\\media\\a.wav", "\\\\srv\\media\\a.wav", "\\\\?\\UNC\\srv\\media\\a.wav",
       "a.wav", "a", ".wav", ".wav", "\\\\srv\\media"},
      {"\\\\?\\C:\\x.txt", "C:\\x.txt", "\\\\?\\C:\\x.txt", "x.txt", "x", ".txt", ".txt", "C:"},
      {"//?/C:/x.txt", "C:\\x.txt", "\\\\?\\C:\\x.txt", "x.txt", "x", ".txt", ".txt", "C:"},
      {"C:\\a.b\\file", "C:\\a.b\\file", "\\\\?\\C:\\a.b\\file", "file", "file", "", "", "C:\\a.b"},
      {"C:\\clip.AVI", "C:\\clip.AVI", "\\\\?\\C:\\clip.AVI", "clip.AVI", "clip", ".AVI", ".avi", "C:"},
      {"C:\\.project", "C:\\.project", "\\\\?\\C:\\.project", ".project", "", ".project", ".project",
       "C:"},
      {"C:\\a\\b.tar.gz", "C:\\a\\b.tar.gz", "\\\\?\\C:\\a\\b.tar.gz", "b.tar.gz", "b.tar", ".gz",
       ".gz", "C:\\a"},
      {"C:\\a\\trailing.", "C:\\a\\trailing.", "\\\\?\\C:\\a\\trailing.", "trailing.", "trailing", ".",
       ".", "C:\\a"},
      {"clip", "clip", "\\\\?\\clip", "clip", "clip", "", "", ""},
      {"\\\\srv", "\\\\srv", "\\\\?\\\\\\srv", "srv", "srv", "", "", ""},  // no share: not UNC
      {"\\home\\ann\\a.txt", "\\home\\ann\\a.txt", "\\\\?\\\\home\\ann\\a.txt", "a.txt", "a", ".txt",
       ".txt", "\\home\\ann"},
      {"", "", "\\\\?\\", "", "", "", "", ""},
  };
  for (Case const& c : cases) {
    FileHelper const helper(U(c.given));
    EXPECT_EQ(c.stored, A(helper.Path())) << c.given;
    EXPECT_EQ(c.native, A(helper.FullNativePath())) << c.given;
    EXPECT_EQ(c.name, A(helper.Name())) << c.given;
    EXPECT_EQ(c.title, A(helper.Title())) << c.given;
    EXPECT_EQ(c.extension, A(helper.Extension(false))) << c.given;
    EXPECT_EQ(c.lowerExtension, A(helper.Extension(true))) << c.given;
    EXPECT_EQ(c.parent, A(helper.ParentPath().Path())) << c.given;
    // The native form is taken back to the same stored form.
    EXPECT_EQ(c.stored, A(FileHelper(helper.FullNativePath()).Path())) << c.given;

    File const file(U(c.given));
    EXPECT_EQ(c.name, A(file.GetName())) << c.given;
    EXPECT_EQ(c.title, A(file.GetTitle())) << c.given;
    EXPECT_EQ(c.lowerExtension, A(file.GetExtension(true))) << c.given;
    EXPECT_EQ(c.parent, A(file.Parent().FullPath())) << c.given;
  }
}

TEST(DirHelperTest, TrailingBackslashTopLevelAndJoins) {
  struct Case {
    char const* given;
    char const* stored;
    bool topLevel;
    char const* name;
    char const* parent;
  } const cases[] = {
      {"C:\\Media\\", "C:\\Media", false, "Media", "C:"},
      {"C:\\", "C:", true, "C:", ""},
      {"C:/Media/", "C:\\Media\\", false, "", "C:\\Media"},  // the slash is converted after the check
      {"C:\\Media\\\\", "C:\\Media\\", false, "", "C:\\Media"},  // only one backslash goes
      {"\\\\?\\C:\\Media\\", "C:\\Media", false, "Media", "C:"},
      {"Media", "Media", true, "Media", ""},
      {"", "", true, "", ""},
  };
  for (Case const& c : cases) {
    Dir const dir(U(c.given));
    EXPECT_EQ(c.stored, A(dir.FullPath())) << c.given;
    EXPECT_EQ(c.topLevel, dir.IsTopLevelDir()) << c.given;
    EXPECT_EQ(c.name, A(dir.GetName())) << c.given;
    EXPECT_EQ(c.parent, A(dir.Parent().FullPath())) << c.given;
  }

  struct Join {
    char const* parent;
    char const* name;
    char const* dir;   // Dir(parent, name)
    char const* file;  // File(parent, name)
  } const joins[] = {
      {"C:\\Media", "clips", "C:\\Media\\clips", "C:\\Media\\clips"},
      {"C:/Media/", "clips", "C:\\Media\\clips", "C:\\Media\\\\clips"},
      {"C:\\Media", "clips\\", "C:\\Media\\clips", "C:\\Media\\clips\\"},
      {"C:\\Media", "a/b.txt", "C:\\Media\\a\\b.txt", "C:\\Media\\a\\b.txt"},
      {"C:", "x", "C:\\x", "C:\\x"},
  };
  for (Join const& j : joins) {
    Dir const parent(U(j.parent));
    EXPECT_EQ(j.dir, A(Dir(parent, U(j.name)).FullPath())) << j.parent << " + " << j.name;
    EXPECT_EQ(j.file, A(File(parent, U(j.name)).FullPath())) << j.parent << " + " << j.name;
  }
}

TEST(FileHelperTest, ValuesCopyAndCompareExactly) {
  // Helpers given to File and Dir are kept unchanged.
  FileHelper helper;
  EXPECT_TRUE(helper.Path().empty());
  File const plain(FileHelper(U("C:/x")));
  EXPECT_EQ("C:\\x", A(plain.FullPath()));

  File a(U("C:\\Media\\clip.avi"));
  File b(a);
  b.Helper() = FileHelper(U("C:\\Other"));
  EXPECT_EQ("C:\\Media\\clip.avi", A(a.FullPath()));  // deep copy
  a = b;
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(File(U("C:\\Media")) == File(U("c:\\media")));
  EXPECT_FALSE(Dir(U("C:\\Media")) == Dir(U("c:\\media")));
  EXPECT_TRUE(Dir(U("C:\\Media\\")) == Dir(U("C:\\Media")));

  EXPECT_TRUE(FileHelper(std::string()).Path().empty());
  EXPECT_EQ("C:\\Data\\clip.avi", A(FileHelper(std::string("C:/Data/clip.avi")).Path()));
  EXPECT_EQ("C:\\Data\\clip.avi", File(U("C:/Data/clip.avi")).FullPathMultiByte());
  EXPECT_EQ("C:\\Data", Dir(U("C:/Data")).FullPathMultiByte());
}

TEST(CompareFileNamesTest, OrdersAsTheUserSeesNames) {
  struct Case {
    UTF16String a, b;
    int result;
  } const cases[] = {
      // The collation is the platform's and tested there; these check argument order and the NUL.
      {U("a.avi"), U("b.avi"), -1},
      {U("B.avi"), U("a.avi"), 1},
      {UTF16String{'a', 0, 'z'}, U("A"), 0},  // up to the first NUL
  };
  for (Case const& c : cases) EXPECT_EQ(c.result, CompareFileNames(c.a, c.b)) << A(c.a);
}

}  // namespace
}  // namespace filesupport
}  // namespace vireo
