// File and Dir on a real file system: creation and its exceptions, deletion, renames, times,
// sizes, snapshot listings (with shortcuts), the recursive walk and the volume list.
#include "vireo/filesupport/File.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/IsolatedProgram.h"
#include "tests/support/ReadOnlyMount.h"
#include "tests/support/TestEnvironment.h"
#include "vireo/filesupport/Dir.h"
#include "vireo/filesupport/FileExceptions.h"
#include "vireo/filesupport/RecursiveFileIterator.h"
#include "vireo/filesupport/src/ShellLink.h"

namespace vireo {
namespace filesupport {
namespace {

::testing::Environment* const kIsolated =
    ::testing::AddGlobalTestEnvironment(new vireo::testing::IsolatedProgram);

UTF16String U(std::string const& ascii) { return utility::AsciiToUTF16(ascii.c_str()); }
std::string A(UTF16String const& units) { return std::string(units.begin(), units.end()); }

// The stored form of a POSIX path ("/tmp/x" is "\tmp\x").
UTF16String Stored(std::string posix) {
  std::replace(posix.begin(), posix.end(), '/', '\\');
  return U(posix);
}

void WriteText(std::string const& path, std::string const& text) {
  std::ofstream(path, std::ios::binary) << text;
}

bool PosixExists(std::string const& path) { return ::access(path.c_str(), F_OK) == 0; }

// Which class of the create family an operation threw ("none" when it returned).
template <typename Operation>
std::string Thrown(Operation operation) {
  try {
    operation();
    return "none";
  } catch (create_fnf_exception const&) {
    return "create_fnf";
  } catch (create_invalidpath_exception const&) {
    return "create_invalidpath";
  } catch (create_accessdenied_exception const&) {
    return "create_accessdenied";
  } catch (create_locked_exception const&) {
    return "create_locked";
  } catch (create_exception const&) {
    return "create";
  } catch (file_not_found_exception const&) {
    return "file_not_found";
  } catch (file_delete_exception const&) {
    return "file_delete";
  } catch (rename_file const&) {
    return "rename_file";
  } catch (file_exception const&) {
    return "file";
  } catch (rename_dir_already_exists const&) {
    return "rename_dir_already_exists";
  } catch (rename_dir const&) {
    return "rename_dir";
  } catch (dir_not_found_exception const&) {
    return "dir_not_found";
  } catch (dir_delete_exception const&) {
    return "dir_delete";
  } catch (dir_exception const&) {
    return "dir";
  }
}

class FileTest : public ::testing::Test {
 protected:
  std::string Path(std::string const& name) const { return dir_.Path() + "/" + name; }
  File FileAt(std::string const& name) const { return File(Stored(Path(name))); }
  Dir DirAt(std::string const& name) const { return Dir(Stored(Path(name))); }
  Dir Root() const { return Dir(Stored(dir_.Path())); }

  vireo::testing::TemporaryDirectory dir_;
};

TEST_F(FileTest, CreateMapsFailuresToExceptions) {
  WriteText(Path("full"), "content");
  ASSERT_EQ(0, ::mkdir(Path("sub").c_str(), 0777));
  struct Case {
    std::string name;
    std::string thrown;
  } const cases[] = {
      {"new", "none"},
      {"full", "none"},                          // truncated
      {"missing/new", "create_invalidpath"},     // 3
      {"full/new", "create_invalidpath"},        // a parent that is a file: 3
      {"sub", "create_accessdenied"},            // a directory: 5
      {std::string(300, 'n'), "create"},         // 206: any other number
  };
  for (Case const& c : cases) {
    File file = FileAt(c.name);
    EXPECT_EQ(c.thrown, Thrown([&] { file.Create(); })) << c.name;
  }
  File const full = FileAt("full");
  EXPECT_EQ(0u, full.Size(kFileSizeData));
  EXPECT_TRUE(FileAt("new").Exists());

  // The exception carries the file concerned.
  try {
    FileAt("missing/new").Create();
    FAIL() << "no exception";
  } catch (create_exception const& e) {
    EXPECT_TRUE(e.GetFile() == FileAt("missing/new"));
  }
}

TEST_F(FileTest, CreateOnReadOnlyFileSystemIsLocked) {
  ASSERT_EQ(0, ::mkdir(Path("ro").c_str(), 0777));
  std::string const point = Path("ro");
  int const kLocked = 1, kOther = 2;
  int const result = vireo::testing::RunOnReadOnlyMount(point, [&] {
    File file(Stored(point + "/new"));
    return Thrown([&] { file.Create(); }) == "create_locked" ? kLocked : kOther;
  });
  if (result == vireo::testing::kCannotMountReadOnly)
    GTEST_SKIP() << "this process may not mount a read-only file system of its own";
  EXPECT_EQ(kLocked, result);
}

TEST_F(FileTest, ExistenceOfFilesDirectoriesAndDrives) {
  WriteText(Path("file"), "x");
  ASSERT_EQ(0, ::mkdir(Path("dir").c_str(), 0777));
  EXPECT_TRUE(FileAt("file").Exists());
  EXPECT_TRUE(FileAt("dir").Exists());  // a directory counts for File
  EXPECT_FALSE(FileAt("missing").Exists());
  EXPECT_TRUE(DirAt("dir").Exists());
  EXPECT_FALSE(DirAt("file").Exists());
  EXPECT_FALSE(DirAt("missing").Exists());
  EXPECT_TRUE(Dir(U("Z:")).Exists());  // the drive's root
  EXPECT_TRUE(Dir(U("Z:\\")).Exists());
  EXPECT_FALSE(Dir(U("Q:")).Exists());
  EXPECT_FALSE(File(U("\\\\srv\\share\\x")).Exists());
}

TEST_F(FileTest, DeleteAndRename) {
  WriteText(Path("a.txt"), "x");
  WriteText(Path("taken.txt"), "x");
  File file = FileAt("a.txt");
  file.Rename(U("b.txt"));
  EXPECT_EQ(Stored(Path("b.txt")), file.FullPath());
  EXPECT_TRUE(PosixExists(Path("b.txt")));
  EXPECT_FALSE(PosixExists(Path("a.txt")));

  EXPECT_EQ("rename_file", Thrown([&] { file.Rename(U("taken.txt")); }));  // never replaces
  EXPECT_EQ(Stored(Path("b.txt")), file.FullPath());
  try {
    file.Rename(U("taken.txt"));
  } catch (rename_file const& e) {
    EXPECT_EQ(U("taken.txt"), e.GetNewName());
    EXPECT_TRUE(e.GetFile() == file);
  }

  file.Delete();
  EXPECT_FALSE(PosixExists(Path("b.txt")));
  EXPECT_EQ("file_delete", Thrown([&] { file.Delete(); }));

  ASSERT_EQ(0, ::mkdir(Path("d1").c_str(), 0777));
  ASSERT_EQ(0, ::mkdir(Path("d2").c_str(), 0777));
  Dir dir = DirAt("d1");
  EXPECT_EQ("rename_dir_already_exists", Thrown([&] { dir.Rename(U("d2")); }));
  EXPECT_EQ(Stored(Path("d1")), dir.FullPath());
  dir.Rename(U("d3"));
  EXPECT_EQ(Stored(Path("d3")), dir.FullPath());
  EXPECT_TRUE(PosixExists(Path("d3")));
  Dir gone = DirAt("gone");
  EXPECT_EQ("rename_dir", Thrown([&] { gone.Rename(U("d4")); }));
}

TEST_F(FileTest, TimesAndTheirExceptions) {
  WriteText(Path("clip"), "x");
  ASSERT_EQ(0, ::mkdir(Path("dir").c_str(), 0777));
  // 2000-01-01 00:00:00 UTC is 125911584000000000 in 100 ns units since 1601.
  struct timespec const times[2] = {{946684800, 0}, {946684800, 0}};
  ASSERT_EQ(0, ::utimensat(AT_FDCWD, Path("clip").c_str(), times, 0));
  ASSERT_EQ(0, ::utimensat(AT_FDCWD, Path("dir").c_str(), times, 0));
  EXPECT_EQ(125911584000000000ULL, FileAt("clip").Modified());
  EXPECT_EQ(125911584000000000ULL, DirAt("dir").Modified());
  EXPECT_GT(FileAt("clip").Created(), 125911584000000000ULL);  // made now
  EXPECT_GT(DirAt("dir").Created(), 125911584000000000ULL);

  struct Case {
    std::string name;
    std::string file, dir;
  } const cases[] = {
      {"missing", "file_not_found", "dir_not_found"},  // 2
      {"nodir/missing", "file", "dir"},                // 3: the general class
      {"clip/below", "file", "dir"},
  };
  for (Case const& c : cases) {
    EXPECT_EQ(c.file, Thrown([&] { FileAt(c.name).Modified(); })) << c.name;
    EXPECT_EQ(c.file, Thrown([&] { FileAt(c.name).Created(); })) << c.name;
    EXPECT_EQ(c.dir, Thrown([&] { DirAt(c.name).Modified(); })) << c.name;
    EXPECT_EQ(c.dir, Thrown([&] { DirAt(c.name).Created(); })) << c.name;
  }
}

TEST_F(FileTest, SizeBySelector) {
  WriteText(Path("five"), "12345");
  unsigned long long const expected[] = {5, 0, 5, 5, 0, 5, 0};
  for (int selector = 0; selector <= 6; ++selector) {
    EXPECT_EQ(expected[selector], FileAt("five").Size(static_cast<FileSizeSelector>(selector)))
        << selector;
    EXPECT_EQ(0u, FileAt("missing").Size(static_cast<FileSizeSelector>(selector))) << selector;
  }
}

std::set<std::string> Names(Dir::FileIterator begin, Dir::FileIterator const& end) {
  std::set<std::string> names;
  for (; begin != end; ++begin) names.insert(A((*begin).GetName()));
  return names;
}

std::set<std::string> Names(Dir::DirIterator begin, Dir::DirIterator const& end) {
  std::set<std::string> names;
  for (; begin != end; ++begin) names.insert(A((*begin).GetName()));
  return names;
}

TEST_F(FileTest, CreateAndDeleteDirectories) {
  Dir dir = DirAt("made");
  dir.Create();
  EXPECT_TRUE(dir.Exists());
  WriteText(Path("made/keep"), "x");
  dir.Create();  // exists already: nothing changes
  EXPECT_TRUE(PosixExists(Path("made/keep")));
  Dir deep = DirAt("a/b");
  EXPECT_EQ("dir", Thrown([&] { deep.Create(); }));  // only the last level is made

  // A tree with files at every level goes whole.
  ASSERT_EQ(0, ::mkdir(Path("made/s1").c_str(), 0777));
  ASSERT_EQ(0, ::mkdir(Path("made/s1/s2").c_str(), 0777));
  WriteText(Path("made/s1/f"), "x");
  WriteText(Path("made/s1/s2/g"), "x");
  dir.Delete();
  EXPECT_FALSE(PosixExists(Path("made")));

  // A hidden entry is never listed, so it stays and the directory cannot go.
  ASSERT_EQ(0, ::mkdir(Path("hid").c_str(), 0777));
  WriteText(Path("hid/visible"), "x");
  WriteText(Path("hid/.hidden"), "x");
  ASSERT_EQ(0, ::mkdir(Path("hid/sub").c_str(), 0777));
  Dir hid = DirAt("hid");
  EXPECT_EQ("dir", Thrown([&] { hid.Delete(); }));
  EXPECT_FALSE(PosixExists(Path("hid/visible")));
  EXPECT_FALSE(PosixExists(Path("hid/sub")));
  EXPECT_TRUE(PosixExists(Path("hid/.hidden")));
}

TEST_F(FileTest, ListingsAreSnapshotsOfVisibleEntries) {
  Dir root = Root();
  EXPECT_TRUE(root.BeginFiles(false) == root.EndFiles());
  EXPECT_TRUE(root.BeginSubdirs(false) == root.EndSubdirs());

  WriteText(Path("a.avi"), "x");
  WriteText(Path("b.wav"), "x");
  WriteText(Path(".hidden"), "x");
  ASSERT_EQ(0, ::mkdir(Path("sub").c_str(), 0777));
  ASSERT_EQ(0, ::mkdir(Path(".git").c_str(), 0777));

  Dir::FileIterator files = root.BeginFiles(false);
  Dir::DirIterator dirs = root.BeginSubdirs(false);
  WriteText(Path("later.txt"), "x");  // not in the snapshots taken above
  EXPECT_EQ((std::set<std::string>{"a.avi", "b.wav"}), Names(files, root.EndFiles()));
  EXPECT_EQ((std::set<std::string>{"sub"}), Names(dirs, root.EndSubdirs()));
  EXPECT_EQ(Stored(Path("sub")), (*dirs).FullPath());
  EXPECT_EQ(Stored(dir_.Path()), (*files).Parent().FullPath());

  // Copies walk on their own; equal while they stand on the same entry of the same list.
  Dir::FileIterator copy(files);
  EXPECT_TRUE(copy == files);
  Dir::FileIterator const before = copy++;
  EXPECT_TRUE(before == files);
  EXPECT_FALSE(copy == files);
  EXPECT_FALSE(copy == root.EndFiles());
  ++copy;
  EXPECT_TRUE(copy == root.EndFiles());
  EXPECT_TRUE(copy == Dir::FileIterator());
  EXPECT_FALSE(files == copy);
  ++copy;  // stepping at end stays at end
  EXPECT_TRUE(copy == root.EndFiles());
  copy = files;
  EXPECT_TRUE(copy == files);

  // A moved-from iterator is at end, whether moved by construction or by assignment.
  Dir::FileIterator moved(std::move(copy));
  EXPECT_TRUE(moved == files);
  EXPECT_TRUE(copy == Dir::FileIterator());
  Dir::FileIterator assigned = root.BeginFiles(false);  // now with later.txt
  assigned = std::move(moved);
  EXPECT_TRUE(assigned == files);
  EXPECT_TRUE(moved == Dir::FileIterator());

  // Listings of files and of subdirectories are different lists even where both are empty
  // of entries they share.
  EXPECT_FALSE(root.BeginFiles(false) == root.BeginFiles(true));  // flags differ
  EXPECT_TRUE(root.BeginFiles(true) == root.BeginFiles(true));

  Dir missing = DirAt("missing");
  EXPECT_TRUE(missing.BeginFiles(false) == missing.EndFiles());
}

// Writes a shortcut file at `link` pointing at `target` (a POSIX path).
void WriteShortcut(std::string const& link, std::string const& target) {
  impl::ShellLinkData data;
  data.targetPath = Stored(target);
  utility::UTF8String bytes;
  ASSERT_EQ(impl::ShellLinkStatus::kOk, impl::WriteShellLink(data, bytes));
  WriteText(link, std::string(bytes.begin(), bytes.end()));
}

TEST_F(FileTest, ListingsFollowShortcutsOnRequest) {
  ASSERT_EQ(0, ::mkdir(Path("elsewhere").c_str(), 0777));
  ASSERT_EQ(0, ::mkdir(Path("elsewhere/media").c_str(), 0777));
  WriteText(Path("elsewhere/clip.avi"), "x");
  ASSERT_EQ(0, ::mkdir(Path("list").c_str(), 0777));
  WriteShortcut(Path("list/to-file.lnk"), Path("elsewhere/clip.avi"));
  WriteShortcut(Path("list/to-dir.lnk"), Path("elsewhere/media"));
  WriteShortcut(Path("list/dangling.lnk"), Path("elsewhere/gone.avi"));
  WriteShortcut(Path("list/UPPER.LNK"), Path("elsewhere/clip.avi"));  // not ".lnk" exactly
  WriteText(Path("list/broken.lnk"), "not a link");
  WriteText(Path("list/plain.txt"), "x");

  Dir const list = DirAt("list");
  EXPECT_EQ((std::set<std::string>{"to-file.lnk", "to-dir.lnk", "dangling.lnk", "UPPER.LNK",
                                   "broken.lnk", "plain.txt"}),
            Names(list.BeginFiles(false), list.EndFiles()));
  EXPECT_EQ((std::set<std::string>{"clip.avi", "UPPER.LNK", "plain.txt"}),
            Names(list.BeginFiles(true), list.EndFiles()));
  EXPECT_EQ((std::set<std::string>{"media"}), Names(list.BeginSubdirs(true), list.EndSubdirs()));
  EXPECT_TRUE(list.BeginSubdirs(false) == list.EndSubdirs());

  std::set<UTF16String> targets;
  for (Dir::FileIterator it = list.BeginFiles(true); it != list.EndFiles(); ++it)
    targets.insert((*it).FullPath());
  EXPECT_EQ(1u, targets.count(Stored(Path("elsewhere/clip.avi"))));
}

// Checks that the walk visits every file once, each directory's files together, and each
// subtree before the next sibling (pre-order).
void ExpectPreOrder(std::vector<std::pair<std::string, std::string>> const& walk) {
  std::vector<std::string> dirs;
  for (auto const& step : walk) {
    EXPECT_EQ(0u, step.second.rfind(step.first, 0)) << step.second << " outside " << step.first;
    if (dirs.empty() || dirs.back() != step.first) dirs.push_back(step.first);
  }
  std::set<std::string> const unique(dirs.begin(), dirs.end());
  EXPECT_EQ(unique.size(), dirs.size()) << "a directory's files were split";
  // Once the walk leaves a directory's subtree it never comes back into it.
  for (std::size_t i = 0; i < dirs.size(); ++i) {
    std::string const inside = dirs[i] + "\\";
    std::size_t j = i + 1;
    while (j < dirs.size() && dirs[j].rfind(inside, 0) == 0) ++j;
    for (std::size_t k = j; k < dirs.size(); ++k) {
      EXPECT_NE(0u, dirs[k].rfind(inside, 0)) << dirs[k] << " visited after leaving " << dirs[i];
    }
  }
}

TEST_F(FileTest, RecursiveWalkIsDepthFirstPreOrder) {
  std::vector<std::string> const made = {"a/1", "a/2", "a/x/3", "a/x/y/4", "a/z/5", "b/6", "b/w/7", "8"};
  for (std::string const dir : {"a", "a/x", "a/x/y", "a/z", "b", "b/w", "c", "c/empty"})
    ASSERT_EQ(0, ::mkdir(Path(dir).c_str(), 0777));
  for (std::string const& file : made) WriteText(Path(file), "x");
  WriteText(Path("a/.hidden"), "x");

  std::vector<std::pair<std::string, std::string>> walk;
  std::set<std::string> seen;
  for (RecursiveFileIterator it(Root(), false), end; it != end; ++it) {
    std::string const file = A((*it).FullPath());
    walk.emplace_back(A(it.CurrentDir().FullPath()), file);
    seen.insert(file.substr(dir_.Path().size() + 1));
  }
  std::set<std::string> expected;
  for (std::string const& file : made) expected.insert(A(Stored(file)));
  EXPECT_EQ(expected, seen);
  EXPECT_EQ("8", walk.front().second.substr(dir_.Path().size() + 1));  // the root's own first
  ExpectPreOrder(walk);

  // A copy made halfway walks the same rest.
  RecursiveFileIterator it(Root(), false);
  ++it;
  ++it;
  RecursiveFileIterator copy(it);
  EXPECT_TRUE(copy == it);
  std::vector<UTF16String> rest, restOfCopy;
  for (RecursiveFileIterator end; it != end; it++) rest.push_back((*it).FullPath());
  for (RecursiveFileIterator end; copy != end; ++copy) restOfCopy.push_back((*copy).FullPath());
  EXPECT_EQ(rest, restOfCopy);
  EXPECT_EQ(made.size() - 2, rest.size());
}

TEST_F(FileTest, RecursiveWalkStartsWhereTheFirstFileIs) {
  for (std::string const dir : {"t", "t/e1", "t/e2", "t/e2/deep", "u", "u/v"})
    ASSERT_EQ(0, ::mkdir(Path(dir).c_str(), 0777));
  WriteText(Path("t/e2/deep/only"), "x");

  RecursiveFileIterator it(DirAt("t"), false);
  ASSERT_TRUE(it != RecursiveFileIterator());
  EXPECT_EQ(Stored(Path("t/e2/deep/only")), (*it).FullPath());
  EXPECT_EQ(Stored(Path("t/e2/deep")), it.CurrentDir().FullPath());
  ++it;
  EXPECT_TRUE(it == RecursiveFileIterator());

  EXPECT_TRUE(RecursiveFileIterator(DirAt("u"), false) == RecursiveFileIterator());
  EXPECT_TRUE(RecursiveFileIterator(DirAt("missing"), true) == RecursiveFileIterator());
}

TEST(VolumesTest, FixedAndNetworkDrivesAsTwoUnits) {
  std::vector<std::string> volumes;
  for (Dir::DirIterator it = Dir::BeginVolumes(); it != Dir::EndVolumes(); ++it)
    volumes.push_back(A((*it).FullPath()));
  EXPECT_EQ((std::vector<std::string>{"Z:"}), volumes);  // the default drive table
  EXPECT_TRUE(Dir::EndVolumes() == Dir::DirIterator());
}

}  // namespace
}  // namespace filesupport
}  // namespace vireo
