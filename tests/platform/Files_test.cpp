// The file layer: native paths to POSIX and back, error numbers from real failures, open
// files with sharing, 64-bit positions, attributes, times and directory searches.
#include "vireo/platform/Files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/IsolatedProgram.h"
#include "tests/support/ReadOnlyMount.h"
#include "tests/support/TestEnvironment.h"
#include "vireo/platform/Locale.h"

namespace vireo {
namespace platform {
namespace {

// Every test of this program works below a fresh directory, with HOME, XDG_CONFIG_HOME and
// TMPDIR pointed into it.
::testing::Environment* const kIsolated =
    ::testing::AddGlobalTestEnvironment(new vireo::testing::IsolatedProgram);

PathUnits Units(std::string const& ascii) { return PathUnits(ascii.begin(), ascii.end()); }

// The native form of an ASCII POSIX path: "\\?\" and backslashes.
PathUnits Native(std::string const& posix) {
  PathUnits units = Units("\\\\?\\");
  for (char c : posix) units += static_cast<unsigned short>(c == '/' ? '\\' : c);
  return units;
}

std::string ToPosix(PathUnits const& native, int* error = nullptr) {
  std::string out;
  int const result = NativeToPosixPath(native.data(), native.size(), out);
  if (error) *error = result;
  return out;
}

void WriteText(std::string const& path, std::string const& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(std::string const& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FilesTest : public ::testing::Test {
 protected:
  std::string Path(std::string const& name) const { return dir_.Path() + "/" + name; }
  PathUnits NativePath(std::string const& name) const { return Native(Path(name)); }

  int Open(std::string const& name, unsigned long access, unsigned long share,
           FileDisposition disposition, FileHandle& handle, unsigned long flags = 0) {
    PathUnits const path = NativePath(name);
    return OpenFile(path.data(), path.size(), access, share, disposition, flags, handle);
  }

  vireo::testing::TemporaryDirectory dir_;
};

TEST(NativePathTest, MapsToPosix) {
  struct Case {
    char const* native;
    char const* posix;
    int error;
  } const cases[] = {
      {"\\\\?\\\\home\\ann\\a.txt", "/home/ann/a.txt", kFileOk},
      {"\\home\\ann\\a.txt", "/home/ann/a.txt", kFileOk},  // without the long prefix
      {"\\\\?\\Z:\\home\\ann", "/home/ann", kFileOk},
      {"\\\\?\\z:/home/ann", "/home/ann", kFileOk},  // lower-case drive, forward slashes
      {"\\\\?\\Z:", "/", kFileOk},
      {"\\\\?\\Z:\\", "/", kFileOk},
      {"\\\\?\\data\\a.txt", "data/a.txt", kFileOk},  // relative: left to the current directory
      {"\\\\?\\C:\\Data", "", kErrorPathNotFound},     // unmapped drive
      {"\\\\?\\UNC\\srv\\media\\a.wav", "", kErrorBadNetPath},
      {"\\\\srv\\media\\a.wav", "", kErrorBadNetPath},
      {"//srv/media", "", kErrorBadNetPath},
      {"\\\\?\\", "", kErrorInvalidParameter},
      {"", "", kErrorInvalidParameter},
  };
  for (Case const& c : cases) {
    int error = -1;
    std::string const posix = ToPosix(Units(c.native), &error);
    EXPECT_EQ(c.error, error) << c.native;
    if (c.error == kFileOk) {
      EXPECT_EQ(c.posix, posix) << c.native;
    }
  }
}

TEST(NativePathTest, NonAsciiAndSurrogatesRoundTrip) {
  // "\x" + e-acute + U+1F600 (a surrogate pair) + an unpaired high surrogate.
  PathUnits const stored = {'\\', 'x', 0x00E9, 0xD83D, 0xDE00, 0xD800};
  std::string const posix = ToPosix(stored);
  EXPECT_EQ(std::string("/x\xC3\xA9\xF0\x9F\x98\x80\xED\xA0\x80"), posix);
  PathUnits back;
  ASSERT_TRUE(PosixToStoredPath(posix.data(), posix.size(), back));
  EXPECT_EQ(stored, back);

  PathUnits withNul = Units("\\a");
  withNul += static_cast<unsigned short>(0);
  int error = 0;
  ToPosix(withNul, &error);
  EXPECT_EQ(kErrorInvalidParameter, error);
}

TEST(NativePathTest, PosixToStored) {
  struct Case {
    std::string posix;
    bool ok;
    char const* stored;
  } const cases[] = {
      {"/usr/bin", true, "\\usr\\bin"},
      {"/", true, "\\"},
      {"a/b", true, "a\\b"},
      {"/tmp/back\\slash", false, ""},  // a backslash cannot be stored
      {"/tmp/\xFF", false, ""},          // not UTF-8
      {"/tmp/\xC3", false, ""},          // cut sequence
      {"/tmp/\xC0\xAF", false, ""},      // overlong
  };
  for (Case const& c : cases) {
    PathUnits out = Units("junk");
    EXPECT_EQ(c.ok, PosixToStoredPath(c.posix.data(), c.posix.size(), out)) << c.posix;
    EXPECT_EQ(Units(c.stored), out) << c.posix;
  }
}

// Each failure as the library sees it, with the call that produced it.
TEST_F(FilesTest, ErrorNumbersOfFailures) {
  WriteText(Path("file"), "x");
  ASSERT_EQ(0, ::mkdir(Path("full").c_str(), 0777));
  WriteText(Path("full/inner"), "x");
  FileHandle handle = nullptr;

  EXPECT_EQ(kErrorFileNotFound, Open("missing", kAccessRead, 0, kOpenExisting, handle));
  EXPECT_EQ(kErrorPathNotFound, Open("nodir/file", kAccessRead, 0, kOpenExisting, handle));
  EXPECT_EQ(kErrorPathNotFound, Open("file/below", kAccessRead, 0, kOpenExisting, handle));
  EXPECT_EQ(kErrorPathNotFound, Open("nodir/file", kAccessWrite, 0, kCreateAlways, handle));
  EXPECT_EQ(kErrorFileExists, Open("file", kAccessWrite, 0, kCreateNew, handle));
  EXPECT_EQ(kErrorAccessDenied, Open("full", kAccessRead, kShareRead, kOpenExisting, handle));
  EXPECT_EQ(kErrorAccessDenied, Open("full", kAccessWrite, 0, kCreateAlways, handle));
  EXPECT_EQ(kErrorFilenameTooLong,
            Open(std::string(300, 'n'), kAccessRead, 0, kOpenExisting, handle));
  EXPECT_EQ(nullptr, handle);

  PathUnits const dir = NativePath("full"), file = NativePath("file");
  PathUnits const missing = NativePath("missing"), deep = NativePath("nodir/sub");
  EXPECT_EQ(kErrorAlreadyExists, MakeDirectory(dir.data(), dir.size()));
  EXPECT_EQ(kErrorAlreadyExists, MakeDirectory(file.data(), file.size()));
  EXPECT_EQ(kErrorPathNotFound, MakeDirectory(deep.data(), deep.size()));
  EXPECT_EQ(kErrorDirNotEmpty, RemoveDirectory(dir.data(), dir.size()));
  EXPECT_EQ(kErrorDirectory, RemoveDirectory(file.data(), file.size()));
  EXPECT_EQ(kErrorFileNotFound, RemoveDirectory(missing.data(), missing.size()));
  EXPECT_EQ(kErrorAccessDenied, RemoveFile(dir.data(), dir.size()));
  EXPECT_EQ(kErrorFileNotFound, RemoveFile(missing.data(), missing.size()));
  EXPECT_EQ(kErrorPathNotFound, RemoveFile(deep.data(), deep.size()));
  EXPECT_EQ(kErrorAlreadyExists, MoveEntry(file.data(), file.size(), dir.data(), dir.size()));
  EXPECT_EQ(kErrorFileNotFound, MoveEntry(missing.data(), missing.size(), deep.data(), deep.size()));
  EXPECT_EQ(kErrorPathNotFound, MoveEntry(file.data(), file.size(), deep.data(), deep.size()));

  unsigned long attributes = 1;
  EXPECT_EQ(kErrorFileNotFound, QueryAttributes(missing.data(), missing.size(), attributes));
  EXPECT_EQ(kErrorPathNotFound, QueryAttributes(deep.data(), deep.size(), attributes));
  EXPECT_EQ(0u, attributes);
}

TEST_F(FilesTest, DirectoryWithoutWritePermission) {
  ASSERT_EQ(0, ::mkdir(Path("locked").c_str(), 0555));
  int const result = vireo::testing::RunWherePermissionsBind(dir_.Path(), [] {
    PathUnits const file = Native("locked/new"), sub = Native("locked/sub");
    FileHandle handle = nullptr;
    int const opened = OpenFile(file.data(), file.size(), kAccessRead, 0, kCreateAlways, 0, handle);
    int const made = MakeDirectory(sub.data(), sub.size());
    return opened == kErrorAccessDenied && made == kErrorAccessDenied ? 0 : 1;
  });
  ::chmod(Path("locked").c_str(), 0755);
  if (result == vireo::testing::kCannotDropPrivileges) GTEST_SKIP() << "cannot drop root's privileges here";
  EXPECT_EQ(0, result);
}

TEST_F(FilesTest, ReadOnlyFileSystem) {
  ASSERT_EQ(0, ::mkdir(Path("ro").c_str(), 0777));
  std::string const point = Path("ro");
  int const result = vireo::testing::RunOnReadOnlyMount(point, [&] {
    PathUnits const path = Native(point + "/new");
    FileHandle handle = nullptr;
    int const error = OpenFile(path.data(), path.size(), kAccessWrite, 0, kCreateAlways, 0, handle);
    PathUnits const sub = Native(point + "/sub");
    return error == MakeDirectory(sub.data(), sub.size()) ? error : 99;
  });
  if (result == vireo::testing::kCannotMountReadOnly)
    GTEST_SKIP() << "this process may not mount a read-only file system of its own";
  EXPECT_EQ(kErrorWriteProtect, result);
}

TEST_F(FilesTest, ReadWriteSeekAndLength) {
  FileHandle handle = nullptr;
  ASSERT_EQ(kFileOk, Open("data", kAccessRead | kAccessWrite, 0, kCreateAlways, handle));
  unsigned long done = 0;
  EXPECT_EQ(kFileOk, WriteFile(handle, "abcdef", 6, done));
  EXPECT_EQ(6u, done);
  unsigned long long position = 0, length = 0;
  EXPECT_EQ(kFileOk, SeekFile(handle, 2, kSeekBegin, position));
  EXPECT_EQ(2u, position);
  char buffer[8] = {};
  EXPECT_EQ(kFileOk, ReadFile(handle, buffer, 8, done));  // short read at the end
  EXPECT_EQ(4u, done);
  EXPECT_EQ(std::string("cdef"), std::string(buffer, 4));
  EXPECT_EQ(kErrorHandleEOF, ReadFile(handle, buffer, 1, done));
  EXPECT_EQ(0u, done);
  EXPECT_EQ(kFileOk, ReadFile(handle, buffer, 0, done));  // nothing asked, nothing wrong

  EXPECT_EQ(kErrorNegativeSeek, SeekFile(handle, -7, kSeekEnd, position));
  EXPECT_EQ(kErrorNegativeSeek, SeekFile(handle, -1, kSeekBegin, position));
  EXPECT_EQ(kFileOk, SeekFile(handle, 0, kSeekCurrent, position));
  EXPECT_EQ(6u, position);  // a refused seek leaves the position
  EXPECT_EQ(kFileOk, SeekFile(handle, -3, kSeekCurrent, position));
  EXPECT_EQ(kFileOk, SetFileEnd(handle));
  EXPECT_EQ(kFileOk, FileLength(handle, length));
  EXPECT_EQ(3u, length);

  // Positions beyond 32 bits (a sparse file).
  unsigned long long const far = 5ULL << 30;
  EXPECT_EQ(kFileOk, SeekFile(handle, static_cast<long long>(far), kSeekBegin, position));
  EXPECT_EQ(far, position);
  EXPECT_EQ(kFileOk, WriteFile(handle, "z", 1, done));
  EXPECT_EQ(kFileOk, FileLength(handle, length));
  EXPECT_EQ(far + 1, length);
  EXPECT_EQ(kFileOk, SeekFile(handle, -1, kSeekEnd, position));
  EXPECT_EQ(far, position);
  EXPECT_EQ(kFileOk, ReadFile(handle, buffer, 1, done));
  EXPECT_EQ('z', buffer[0]);
  EXPECT_EQ(kFileOk, CloseFile(handle));

  EXPECT_EQ(kErrorInvalidHandle, ReadFile(nullptr, buffer, 1, done));
  EXPECT_EQ(kFileOk, CloseFile(nullptr));
}

// Seeks to where the file already is are answered without asking the system; every transfer
// must still land where the position says, also after short reads and cuts.
TEST_F(FilesTest, SeeksToThePresentPositionBetweenTransfers) {
  FileHandle handle = nullptr;
  ASSERT_EQ(kFileOk, Open("data", kAccessRead | kAccessWrite, 0, kCreateAlways, handle));
  unsigned long done = 0;
  unsigned long long position = 0;
  ASSERT_EQ(kFileOk, SeekFile(handle, 0, kSeekBegin, position));
  ASSERT_EQ(kFileOk, WriteFile(handle, "abcdefgh", 8, done));
  ASSERT_EQ(kFileOk, SeekFile(handle, 8, kSeekBegin, position));
  EXPECT_EQ(8u, position);
  ASSERT_EQ(kFileOk, SeekFile(handle, 3, kSeekBegin, position));
  ASSERT_EQ(kFileOk, WriteFile(handle, "X", 1, done));
  ASSERT_EQ(kFileOk, SeekFile(handle, 4, kSeekBegin, position));
  ASSERT_EQ(kFileOk, WriteFile(handle, "Y", 1, done));
  ASSERT_EQ(kFileOk, SeekFile(handle, 0, kSeekCurrent, position));
  EXPECT_EQ(5u, position);
  char buffer[16] = {};
  ASSERT_EQ(kFileOk, ReadFile(handle, buffer, 16, done));  // short: to the end
  EXPECT_EQ(std::string("fgh"), std::string(buffer, done));
  ASSERT_EQ(kFileOk, SeekFile(handle, 8, kSeekBegin, position));
  ASSERT_EQ(kFileOk, WriteFile(handle, "ij", 2, done));
  ASSERT_EQ(kFileOk, SeekFile(handle, -4, kSeekCurrent, position));
  EXPECT_EQ(6u, position);
  ASSERT_EQ(kFileOk, SetFileEnd(handle));  // cuts, and leaves the position
  ASSERT_EQ(kFileOk, SeekFile(handle, 6, kSeekBegin, position));
  ASSERT_EQ(kFileOk, WriteFile(handle, "Z", 1, done));
  ASSERT_EQ(kFileOk, SeekFile(handle, 0, kSeekBegin, position));
  ASSERT_EQ(kFileOk, ReadFile(handle, buffer, 16, done));
  EXPECT_EQ(std::string("abcXYfZ"), std::string(buffer, done));
  EXPECT_EQ(kFileOk, CloseFile(handle));
  EXPECT_EQ("abcXYfZ", ReadText(Path("data")));
}

TEST_F(FilesTest, DispositionsCreateTruncateAndKeep) {
  struct Case {
    FileDisposition disposition;
    bool existing;
    int error;
    long long sizeAfter;  // -1: the file is not there
  } const cases[] = {
      {kCreateNew, false, kFileOk, 0},           {kCreateNew, true, kErrorFileExists, 5},
      {kCreateAlways, false, kFileOk, 0},        {kCreateAlways, true, kFileOk, 0},
      {kOpenExisting, false, kErrorFileNotFound, -1}, {kOpenExisting, true, kFileOk, 5},
      {kOpenAlways, false, kFileOk, 0},          {kOpenAlways, true, kFileOk, 5},
      {kTruncateExisting, false, kErrorFileNotFound, -1}, {kTruncateExisting, true, kFileOk, 0},
  };
  int n = 0;
  for (Case const& c : cases) {
    std::string const name = "d" + std::to_string(n++);
    if (c.existing) WriteText(Path(name), "12345");
    FileHandle handle = nullptr;
    EXPECT_EQ(c.error, Open(name, kAccessRead, 0, c.disposition, handle)) << name;
    CloseFile(handle);
    struct stat st;
    long long const size = ::stat(Path(name).c_str(), &st) == 0 ? st.st_size : -1;
    EXPECT_EQ(c.sizeAfter, size) << name;
  }
}

TEST_F(FilesTest, SharingAmongOwnHandles) {
  WriteText(Path("shared"), "x");
  struct Case {
    unsigned long firstAccess, firstShare, secondAccess, secondShare;
    int error;
  } const cases[] = {
      {kAccessWrite, 0, kAccessRead, kShareRead | kShareWrite, kErrorSharingViolation},
      {kAccessRead, kShareRead, kAccessRead, kShareRead, kFileOk},
      {kAccessRead, kShareRead, kAccessWrite, kShareRead, kErrorSharingViolation},
      {kAccessWrite, kShareRead | kShareWrite, kAccessRead, kShareRead, kErrorSharingViolation},
      {kAccessRead, kShareRead | kShareWrite, kAccessWrite, kShareRead | kShareWrite, kFileOk},
  };
  for (Case const& c : cases) {
    FileHandle first = nullptr, second = nullptr;
    ASSERT_EQ(kFileOk, Open("shared", c.firstAccess, c.firstShare, kOpenExisting, first));
    EXPECT_EQ(c.error, Open("shared", c.secondAccess, c.secondShare, kOpenExisting, second))
        << c.firstAccess << " " << c.firstShare << " " << c.secondAccess << " " << c.secondShare;
    CloseFile(second);
    CloseFile(first);
  }

  // Truncating counts as writing: it needs write sharing and keeps the content otherwise.
  FileHandle reader = nullptr, truncating = nullptr;
  ASSERT_EQ(kFileOk, Open("shared", kAccessRead, kShareRead, kOpenExisting, reader));
  EXPECT_EQ(kErrorSharingViolation, Open("shared", kAccessRead, kShareRead, kCreateAlways, truncating));
  EXPECT_EQ(kErrorSharingViolation,
            Open("shared", kAccessRead, kShareRead, kTruncateExisting, truncating));
  unsigned long long length = 0;
  EXPECT_EQ(kFileOk, FileLength(reader, length));
  EXPECT_EQ(1u, length);
  CloseFile(reader);

  // Removing or moving needs every open handle to share deletion.
  PathUnits const path = NativePath("shared"), moved = NativePath("moved");
  FileHandle handle = nullptr;
  ASSERT_EQ(kFileOk, Open("shared", kAccessRead, kShareRead, kOpenExisting, handle));
  EXPECT_EQ(kErrorSharingViolation, RemoveFile(path.data(), path.size()));
  EXPECT_EQ(kErrorSharingViolation, MoveEntry(path.data(), path.size(), moved.data(), moved.size()));
  CloseFile(handle);
  ASSERT_EQ(kFileOk, Open("shared", kAccessRead, kShareRead | kShareDelete, kOpenExisting, handle));
  EXPECT_EQ(kFileOk, MoveEntry(path.data(), path.size(), moved.data(), moved.size()));
  EXPECT_EQ(kFileOk, RemoveFile(moved.data(), moved.size()));
  CloseFile(handle);
  EXPECT_NE(0, ::access(Path("moved").c_str(), F_OK));
}

TEST_F(FilesTest, HandlesAndFileNameOrderFromManyThreads) {
  WriteText(Path("shared"), "x");
  std::atomic<int> failures(0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      PathUnits const name = Units(t % 2 ? "CLIP.avi" : "clip.AVI"), other = Units("clip.avi");
      for (int i = 0; i < 200; ++i) {
        FileHandle handle = nullptr;
        if (Open("shared", kAccessRead, kShareRead, kOpenExisting, handle) != kFileOk) ++failures;
        if (CompareFileNameText(name.data(), name.size(), other.data(), other.size()) != 0) ++failures;
        if (CloseFile(handle) != kFileOk) ++failures;
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(0, failures.load());
  // Every handle was released: an exclusive open works again.
  FileHandle handle = nullptr;
  EXPECT_EQ(kFileOk, Open("shared", kAccessWrite, 0, kOpenExisting, handle));
  CloseFile(handle);
}

TEST_F(FilesTest, AttributesAndTimes) {
  WriteText(Path("plain"), "x");
  WriteText(Path(".hidden"), "x");
  WriteText(Path("fixed"), "x");
  ::chmod(Path("fixed").c_str(), 0444);
  ASSERT_EQ(0, ::mkdir(Path("sub").c_str(), 0777));
  struct Case {
    char const* name;
    unsigned long attributes;
  } const cases[] = {{"plain", kAttributeNormal},
                     {".hidden", kAttributeHidden},
                     {"fixed", kAttributeReadOnly},
                     {"sub", kAttributeDirectory},
                     {"sub/", kAttributeDirectory}};
  for (Case const& c : cases) {
    PathUnits const path = NativePath(c.name);
    unsigned long attributes = 0;
    EXPECT_EQ(kFileOk, QueryAttributes(path.data(), path.size(), attributes)) << c.name;
    EXPECT_EQ(c.attributes, attributes) << c.name;
  }

  // 2000-01-01 00:00:00.5 UTC is 125911584005000000 in 100 ns units since 1601.
  struct timespec const times[2] = {{946684800, 500000000}, {946684800, 500000000}};
  ASSERT_EQ(0, ::utimensat(AT_FDCWD, Path("plain").c_str(), times, 0));
  FileHandle handle = nullptr;
  ASSERT_EQ(kFileOk, Open("plain", kAccessRead, kShareRead, kOpenExisting, handle));
  unsigned long long created = 0, written = 0;
  EXPECT_EQ(kFileOk, FileTimes(handle, created, written));
  EXPECT_EQ(125911584005000000ULL, written);
  // Created just now (birth or change time), well after the write time set above.
  unsigned long long const now = (static_cast<unsigned long long>(::time(nullptr)) + 11644473600ULL) * 10000000ULL;
  EXPECT_LE(created, now + 20000000ULL);
  EXPECT_GE(created, now - 600000000ULL);
  CloseFile(handle);

  // Directories open for their times only with backup semantics.
  ASSERT_EQ(kFileOk, Open("sub", kAccessRead, kShareRead | kShareWrite | kShareDelete,
                          kOpenExisting, handle, kOpenBackupSemantics));
  EXPECT_EQ(kFileOk, FileTimes(handle, created, written));
  EXPECT_GT(written, 125911584005000000ULL);
  CloseFile(handle);
}

std::vector<std::string> Search(PathUnits const& pattern, int& error) {
  std::vector<std::string> names;
  SearchEntry entry;
  SearchHandle handle = nullptr;
  error = StartSearch(pattern.data(), pattern.size(), entry, handle);
  if (error != kFileOk) return names;
  do {
    std::string name(entry.name, entry.name + entry.nameLength);
    if (entry.attributes & kAttributeDirectory) name += "/";
    if (entry.attributes & kAttributeHidden) name += " hidden";
    names.push_back(name);
  } while (NextSearchEntry(handle, entry) == kFileOk);
  EXPECT_EQ(kErrorNoMoreFiles, NextSearchEntry(handle, entry));
  EndSearch(handle);
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(FilesTest, SearchesListEntriesWithTheirKind) {
  WriteText(Path("a.txt"), "x");
  WriteText(Path("B.TXT"), "x");
  WriteText(Path(".dot"), "x");
  WriteText(Path("back\\slash"), "x");  // cannot be stored: left out
  ASSERT_EQ(0, ::mkdir(Path("sub").c_str(), 0777));
  ASSERT_EQ(0, ::symlink("sub", Path("link").c_str()));
  ASSERT_EQ(0, ::symlink("nowhere", Path("dangling").c_str()));

  int error = -1;
  EXPECT_EQ((std::vector<std::string>{"../ hidden", "./ hidden", ".dot hidden", "B.TXT", "a.txt",
                                      "dangling", "link/", "sub/"}),
            Search(NativePath("*.*"), error));
  EXPECT_EQ(kFileOk, error);
  EXPECT_EQ((std::vector<std::string>{"B.TXT", "a.txt"}), Search(NativePath("*.txt"), error));
  EXPECT_EQ((std::vector<std::string>{"B.TXT", "a.txt"}), Search(NativePath("?.tX?"), error));
  EXPECT_EQ((std::vector<std::string>{"a.txt"}), Search(NativePath("a.*"), error));
  Search(NativePath("*.wav"), error);
  EXPECT_EQ(kErrorFileNotFound, error);
  Search(NativePath("missing/*.*"), error);
  EXPECT_EQ(kErrorPathNotFound, error);
  Search(NativePath("a.txt/*.*"), error);
  EXPECT_EQ(kErrorPathNotFound, error);
}

TEST(VolumesTest, DefaultDriveTableAndWellKnownPaths) {
  unsigned short buffer[259];
  unsigned long const length = ListDrives(259, buffer);
  ASSERT_EQ(4u, length);
  EXPECT_EQ(Units(std::string("Z:\\\0\0", 5)), PathUnits(buffer, buffer + 5));
  EXPECT_EQ(5u, ListDrives(3, buffer));  // too small: the size needed

  struct Case {
    char const* root;
    DriveType type;
  } const cases[] = {{"Z:\\", kDriveFixed}, {"Z:", kDriveFixed}, {"\\\\?\\z:\\", kDriveFixed},
                     {"C:\\", kDriveNoRootDir}, {"Z:x", kDriveNoRootDir}, {"", kDriveNoRootDir}};
  for (Case const& c : cases) {
    PathUnits const root = Units(c.root);
    DriveType const type = DriveTypeOf(root.data(), root.size());
    // The root may sit on a network file system on some machines.
    if (c.type == kDriveFixed) {
      EXPECT_TRUE(type == kDriveFixed || type == kDriveRemote) << c.root;
    } else {
      EXPECT_EQ(c.type, type) << c.root;
    }
  }

  std::vector<unsigned short> module(32767);
  unsigned long const moduleLength = ModuleFilePath(32767, module.data());
  PathUnits const tail = Units("\\platform_tests");
  ASSERT_GT(moduleLength, tail.size());
  EXPECT_EQ(tail, PathUnits(module.data() + moduleLength - tail.size(), module.data() + moduleLength));
  EXPECT_EQ(4u, ModuleFilePath(4, module.data()));  // cut, and said so
  EXPECT_EQ(0, module[3]);
}

TEST(FileNameOrderTest, IgnoresCaseWidthAndKana) {
  struct Case {
    PathUnits a, b;
    int result;
  } const cases[] = {
      {Units("CLIP.avi"), Units("clip.AVI"), 0},
      {PathUnits{0xFF23, 0xFF2C, 0xFF29, 0xFF30}, Units("clip"), 0},  // full-width CLIP
      {PathUnits{0xFF76}, PathUnits{0x30AB}, 0},                     // half- and full-width ka
      {PathUnits{0x304B}, PathUnits{0x30AB}, 0},                     // hiragana and katakana ka
      {Units("a"), Units("b"), -1},
      {Units("b"), Units("A"), 1},
      {Units("e"), PathUnits{0x00E9}, -1},  // accents still count
      {Units(""), Units("a"), -1},
  };
  for (Case const& c : cases)
    EXPECT_EQ(c.result, CompareFileNameText(c.a.data(), c.a.size(), c.b.data(), c.b.size()))
        << c.a.size() << " " << c.b.size();
}

}  // namespace
}  // namespace platform
}  // namespace vireo
