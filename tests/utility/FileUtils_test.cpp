// The simple file utilities on real files below a fresh temporary directory.
#include "vireo/utility/FileUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/TestEnvironment.h"

namespace vireo {
namespace utility {
namespace {

namespace fs = std::filesystem;

UTF16String U16(std::string const& text) { return AsciiToUTF16(text.c_str()); }

// The stored form of a POSIX path made by the test (ASCII only).
UTF16String Stored(std::string const& path) {
  UTF16String stored = U16(path);
  std::replace(stored.begin(), stored.end(), static_cast<unsigned short>('/'),
               static_cast<unsigned short>('\\'));
  return stored;
}

UTF8String Bytes(std::string const& text) { return UTF8String(text.begin(), text.end()); }

std::string Contents(std::string const& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put(std::string const& path, std::string const& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class FileUtilsTest : public ::testing::Test {
 protected:
  testing::TemporaryDirectory temp;
  std::string const dir = temp.Path();
  std::string Posix(char const* name) const { return dir + "/" + name; }
  UTF16String Path(char const* name) const { return Stored(Posix(name)); }
};

TEST(FileUtilsPaths, BuildPathSpec) {
  struct Case {
    char const* directory;
    char const* name;
    char const* expected;
  } const cases[] = {
      {"C:\\a", "b.txt", "C:\\a\\b.txt"},
      {"C:\\a\\", "b.txt", "C:\\a\\b.txt"},
      {"", "b.txt", "b.txt"},
      {"C:/a/", "b.txt", "C:/a/\\b.txt"},  // only a backslash counts as the end separator
      {"\\", "b", "\\b"},
      {"C:\\a", "", "C:\\a\\"},
  };
  for (Case const& c : cases) {
    UTF16String result = U16("old");
    FileUtils::BuildPathSpec(U16(c.directory), U16(c.name), result);
    EXPECT_EQ(U16(c.expected), result) << c.directory << " + " << c.name;
  }
}

TEST(FileUtilsPaths, GetParentPath) {
  struct Case {
    char const* path;
    bool found;
    char const* parent;
  } const cases[] = {
      {"C:\\a\\b.txt", true, "C:\\a"},
      {"C:\\a\\", true, "C:\\a"},
      {"b.txt", true, "b.txt"},  // no separator: the whole path
      {"C:/a/b.txt", true, "C:/a"},
      {"C:\\a/b.txt", true, "C:\\a"},
      {"C:\\a\\\\b.txt", true, "C:\\a"},  // one trailing backslash of the candidate goes
      {"\\\\srv\\x", true, "\\\\srv"},
      {"\\b.txt", false, nullptr},
      {"/b.txt", false, nullptr},
      {"", false, nullptr},
  };
  for (Case const& c : cases) {
    UTF16String parent = U16("untouched");
    EXPECT_EQ(c.found, FileUtils::GetParentPath(U16(c.path), parent)) << c.path;
    EXPECT_EQ(U16(c.found ? c.parent : "untouched"), parent) << c.path;
  }
}

TEST_F(FileUtilsTest, CreateRemoveAndExists) {
  Put(Posix("full"), "some content");
  fs::create_directory(Posix("sub"));

  FileUtils::CreateNewFile(Path("new"));
  FileUtils::CreateNewFile(Path("full"));
  FileUtils::CreateNewFile(Path("missing/new"));  // silent
  EXPECT_TRUE(fs::is_regular_file(Posix("new")));
  EXPECT_EQ(0u, fs::file_size(Posix("full"))) << "an existing file is truncated";
  EXPECT_FALSE(fs::exists(Posix("missing")));

  struct Case {
    char const* name;
    bool exists;
  } const existing[] = {{"new", true}, {"sub", true}, {"missing", false}, {"missing/new", false}};
  for (Case const& c : existing) EXPECT_EQ(c.exists, FileUtils::FileExists(Path(c.name))) << c.name;

  EXPECT_TRUE(FileUtils::RemoveFile(Path("new")));
  EXPECT_FALSE(fs::exists(Posix("new")));
  EXPECT_FALSE(FileUtils::RemoveFile(Path("new")));
  EXPECT_FALSE(FileUtils::RemoveFile(Path("sub"))) << "a directory is no file";
  EXPECT_TRUE(fs::is_directory(Posix("sub")));
}

TEST_F(FileUtilsTest, WritersUseTextMode) {
  // Long enough to cross the writer's buffer, with line feeds at every offset parity.
  std::string longText, longExpected;
  for (int i = 0; i < 5000; ++i) {
    std::string const line = std::string(static_cast<std::size_t>(i % 7), 'x') + "\n";
    longText += line;
    longExpected += line.substr(0, line.size() - 1) + "\r\n";
  }
  struct Case {
    std::string text;
    std::string onDisk;
  } const cases[] = {
      {"", ""},
      {"plain", "plain"},
      {"a\nb\n", "a\r\nb\r\n"},
      {"\n\n", "\r\n\r\n"},
      {"already\r\n", "already\r\r\n"},  // every line feed, as a text-mode stream writes it
      {"ü\n", "ü\r\n"},
      {longText, longExpected},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    Put(Posix("w.txt"), "previous content that is longer than most texts");
    FileUtils::SimpleWriteStringToFile(Path("w.txt"), Bytes(c.text));
    EXPECT_EQ(c.onDisk, Contents(Posix("w.txt")));

    fs::remove(Posix("a.txt"));
    FileUtils::SimpleAppendStringToFile(Path("a.txt"), Bytes(c.text));
    FileUtils::SimpleAppendStringToFile(Path("a.txt"), Bytes("end\n"));
    EXPECT_EQ(c.onDisk + "end\r\n", Contents(Posix("a.txt")));
  }
}

TEST_F(FileUtilsTest, WritersLeaveUnwritablePathsAlone) {
  FileUtils::SimpleWriteStringToFile(Path("missing/w.txt"), Bytes("x"));
  FileUtils::SimpleAppendStringToFile(Path("missing/a.txt"), Bytes("x"));
  EXPECT_FALSE(fs::exists(Posix("missing")));
  fs::create_directory(Posix("dir"));
  FileUtils::SimpleAppendStringToFile(Path("dir"), Bytes("x"));
  EXPECT_TRUE(fs::is_directory(Posix("dir")));
}

TEST_F(FileUtilsTest, PathsPastTheClassicLimit) {
  std::string deep = dir;
  while (deep.size() < 400) deep += "/a-rather-long-directory-name";
  fs::create_directories(deep);
  UTF16String const file = Stored(deep + "/f.txt");
  ASSERT_GT(file.size(), 260u);
  FileUtils::SimpleWriteStringToFile(file, Bytes("x\n"));
  EXPECT_EQ("x\r\n", Contents(deep + "/f.txt"));
  EXPECT_TRUE(FileUtils::FileExists(file));
  EXPECT_TRUE(FileUtils::RemoveFile(file));
}

TEST_F(FileUtilsTest, UniqueFileNameTakesTheFirstFreeNumber) {
  UTF16String const base = Stored(dir);
  EXPECT_EQ(base + U16("\\log1.txt"), FileUtils::UniqueFileName(base, U16("log"), U16(".txt")));
  Put(Posix("log1.txt"), "");
  Put(Posix("log2.txt"), "");
  EXPECT_EQ(base + U16("\\log3.txt"), FileUtils::UniqueFileName(base, U16("log"), U16(".txt")));
  fs::create_directory(Posix("log3.txt"));  // anything existing is taken
  Put(Posix("log5.txt"), "");
  EXPECT_EQ(base + U16("\\log4.txt"), FileUtils::UniqueFileName(base, U16("log"), U16(".txt")));
  for (int n = 1; n <= 12; ++n) Put(Posix(("x" + std::to_string(n)).c_str()), "");
  EXPECT_EQ(base + U16("\\x13"), FileUtils::UniqueFileName(base, U16("x"), U16("")));
}

TEST_F(FileUtilsTest, ContainedFilesListsVisibleFilesOnly) {
  Put(Posix("a.txt"), "");
  Put(Posix("b"), "");
  Put(Posix(".hidden"), "");
  fs::create_directory(Posix("sub"));
  Put(Posix("sub/inner.txt"), "");

  std::vector<UTF16String> files{U16("kept")};
  FileUtils::ContainedFiles(Stored(dir), files);
  ASSERT_EQ(3u, files.size());
  EXPECT_EQ(U16("kept"), files[0]);
  std::sort(files.begin() + 1, files.end());
  EXPECT_EQ(Path("a.txt"), files[1]);
  EXPECT_EQ(Path("b"), files[2]);

  FileUtils::ContainedFiles(Path("missing"), files);
  FileUtils::ContainedFiles(Path("a.txt"), files);
  EXPECT_EQ(3u, files.size());
}

}  // namespace
}  // namespace utility
}  // namespace vireo
