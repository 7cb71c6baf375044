// Shortcut files written here and followed by ResolveIT, ResolveIfAlias and the resolving
// constructors.
#include "vireo/filesupport/Shortcuts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/TestEnvironment.h"
#include "vireo/filesupport/src/ShellLink.h"

namespace vireo {
namespace filesupport {
namespace {

namespace fs = std::filesystem;

UTF16String U(std::string const& ascii) { return utility::AsciiToUTF16(ascii.c_str()); }

UTF16String Stored(std::string posix) {
  std::replace(posix.begin(), posix.end(), '/', '\\');
  return U(posix);
}

std::string Contents(std::string const& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Shortcuts : public ::testing::Test {
 protected:
  Shortcuts() {
    std::ofstream(Posix("a.txt")) << "12345";
    fs::create_directory(Posix("media"));
  }
  std::string Posix(std::string const& name) const { return temp.Path() + "/" + name; }
  UTF16String Path(std::string const& name) const { return Stored(Posix(name)); }
  Dir Here() const { return Dir(Stored(temp.Path())); }

  testing::TemporaryDirectory temp;
};

TEST_F(Shortcuts, CreateLinkThenResolveIT) {
  struct Case {
    char const* target;
    char const* link;
    bool isDirectory;
  } const cases[] = {
      {"a.txt", "to-file.lnk", false},
      {"media", "to-dir.lnk", true},
      {"a.txt", "no-extension", false},  // resolution reads the file, whatever its name
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.link);
    ASSERT_EQ(0, FileUtils::CreateLink(Path(c.target), Path(c.link), U("about it")));
    UTF16String path = Path(c.link);
    bool isDirectory = !c.isDirectory;
    ASSERT_EQ(0, FileUtils::ResolveIT(path, isDirectory));
    EXPECT_EQ(Path(c.target), path) << "the target in stored form";
    EXPECT_EQ(c.isDirectory, isDirectory);
  }
}

TEST_F(Shortcuts, TheLinkCarriesTargetDescriptionAndSnapshot) {
  UTF16String const description = utility::UTF8to16(utility::UTF8String(
      reinterpret_cast<unsigned char const*>("Über \xE2\x9C\x93"), 9));
  // A target given with forward slashes is stored in normal form.
  std::string forward = Posix("a.txt");
  ASSERT_EQ(0, FileUtils::CreateLink(U(forward), Path("x.lnk"), description));

  std::string const bytes = Contents(Posix("x.lnk"));
  impl::ShellLinkData link;
  ASSERT_EQ(impl::ShellLinkStatus::kOk,
            impl::ReadShellLink(reinterpret_cast<unsigned char const*>(bytes.data()), bytes.size(), link));
  EXPECT_EQ(Path("a.txt"), link.targetPath);
  EXPECT_EQ(description, link.description);
  EXPECT_EQ(5u, link.fileSize);
  EXPECT_EQ(0u, link.fileAttributes & 0x10u);
  EXPECT_NE(0u, link.writeTime);

  ASSERT_EQ(0, FileUtils::CreateLink(Path("media"), Path("x.lnk"), UTF16String()));
  std::string const again = Contents(Posix("x.lnk"));
  ASSERT_EQ(impl::ShellLinkStatus::kOk,
            impl::ReadShellLink(reinterpret_cast<unsigned char const*>(again.data()), again.size(), link));
  EXPECT_EQ(0x10u, link.fileAttributes & 0x10u) << "an existing link is replaced";
  EXPECT_TRUE(link.description.empty());
}

TEST_F(Shortcuts, FailuresReturnNegativeStatusAndTouchNothing) {
  // A link may name a target that does not exist yet; following it fails until it does.
  ASSERT_EQ(0, FileUtils::CreateLink(Path("later.txt"), Path("later.lnk"), UTF16String()));
  std::ofstream(Posix("garbage.lnk")) << "not a shortcut at all";

  for (char const* name : {"later.lnk", "garbage.lnk", "missing.lnk", "media"}) {
    SCOPED_TRACE(name);
    UTF16String path = Path(name);
    bool isDirectory = true;
    EXPECT_LT(FileUtils::ResolveIT(path, isDirectory), 0);
    EXPECT_EQ(Path(name), path);
    EXPECT_TRUE(isDirectory);
  }
  std::ofstream(Posix("later.txt")) << "now";
  UTF16String path = Path("later.lnk");
  bool isDirectory = true;
  EXPECT_EQ(0, FileUtils::ResolveIT(path, isDirectory));
  EXPECT_FALSE(isDirectory);

  struct Case {
    char const* name;
    UTF16String target;
    UTF16String link;
    long status;
  } const refused[] = {
      {"relative target", U("a.txt"), Path("r.lnk"), static_cast<long>(static_cast<int>(0x80070057u))},
      {"missing directory", Path("a.txt"), Path("none/r.lnk"), static_cast<long>(static_cast<int>(0x80070003u))},
      {"link onto a directory", Path("a.txt"), Path("media"), static_cast<long>(static_cast<int>(0x80070005u))},
  };
  for (Case const& c : refused) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.status, FileUtils::CreateLink(c.target, c.link, UTF16String()));
  }
  EXPECT_FALSE(fs::exists(Posix("r.lnk")));
  EXPECT_TRUE(fs::is_directory(Posix("media")));
}

TEST_F(Shortcuts, ResolveIfAlias) {
  CreateShortCut(File(Path("file.lnk")), File(Path("a.txt")));
  CreateShortCut(File(Path("dir.LNK")), Dir(Path("media")));
  CreateShortCut(File(Path("plain.txt")), File(Path("a.txt")));  // a link without the extension
  CreateShortCut(File(Path("gone.lnk")), File(Path("gone.txt")));

  struct Case {
    char const* name;
    bool resolves;
    bool isDirectory;
    char const* target;
  } const cases[] = {
      {"file.lnk", true, false, "a.txt"},
      {"dir.LNK", true, true, "media"},  // the extension is compared lower-cased
      {"plain.txt", false, false, nullptr},
      {"gone.lnk", false, false, nullptr},
      {"missing.lnk", false, false, nullptr},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.name);
    File file(U("untouched-file"));
    Dir dir(U("untouched-dir"));
    bool isDirectory = !c.isDirectory;
    ASSERT_EQ(c.resolves, ResolveIfAlias(File(Path(c.name)), file, dir, isDirectory));
    if (!c.resolves) {
      EXPECT_EQ(U("untouched-file"), file.FullPath());
      EXPECT_EQ(U("untouched-dir"), dir.FullPath());
      EXPECT_EQ(!c.isDirectory, isDirectory);
      continue;
    }
    EXPECT_EQ(c.isDirectory, isDirectory);
    EXPECT_EQ(c.isDirectory ? U("untouched-file") : Path(c.target), file.FullPath());
    EXPECT_EQ(c.isDirectory ? Path(c.target) : U("untouched-dir"), dir.FullPath());

    File only(Path(c.name));
    ResolveIfAliasFileOnly(only);
    EXPECT_EQ(c.isDirectory ? Path(c.name) : Path(c.target), only.FullPath());
  }
}

TEST_F(Shortcuts, ResolvingConstructorsTakeTargetsOfTheirKind) {
  CreateShortCut(File(Path("file.lnk")), File(Path("a.txt")));
  CreateShortCut(File(Path("dir.lnk")), Dir(Path("media")));
  Dir const here = Here();
  struct Case {
    char const* name;
    bool resolve;
    char const* file;  // what File(here, name, resolve) names
    char const* dir;   // what Dir(here, name, resolve) names
  } const cases[] = {
      {"file.lnk", true, "a.txt", "file.lnk"},
      {"dir.lnk", true, "dir.lnk", "media"},
      {"file.lnk", false, "file.lnk", "file.lnk"},
      {"dir.lnk", false, "dir.lnk", "dir.lnk"},
      {"a.txt", true, "a.txt", "a.txt"},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.resolve ? " resolved" : " as is"));
    EXPECT_EQ(Path(c.file), File(here, U(c.name), c.resolve).FullPath());
    EXPECT_EQ(Path(c.dir), Dir(here, U(c.name), c.resolve).FullPath());
  }
}

}  // namespace
}  // namespace filesupport
}  // namespace vireo
