// Special folders and the temporary path from the environment and user-dirs.dirs. Changes
// HOME, XDG_CONFIG_HOME and TMPDIR, so it runs in a process of its own.
#include "vireo/platform/SpecialFolders.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/TestEnvironment.h"

namespace vireo {
namespace platform {
namespace {


// The stored form of a POSIX path the test made itself (ASCII only).
PathUnits Stored(std::string const& path) {
  PathUnits stored(path.begin(), path.end());
  for (unsigned short& unit : stored)
    if (unit == '/') unit = '\\';
  return stored;
}

void Set(char const* name, char const* value) {
  if (value)
    ::setenv(name, value, 1);
  else
    ::unsetenv(name);
}

class SpecialFolders : public ::testing::Test {
 protected:
  testing::IsolatedEnvironment environment;
  std::string const home = environment.Home();
  std::string const root = environment.Root();

  PathUnits Folder(SpecialFolder folder, bool create = false) {
    PathUnits path = Stored("untouched");
    EXPECT_TRUE(GetSpecialFolderPath(folder, create, path));
    return path;
  }
  void WriteUserDirs(std::string const& text) {
    std::ofstream(environment.ConfigHome() + "/user-dirs.dirs") << text;
  }
};

TEST_F(SpecialFolders, UserAppDataFollowsConfigHomeOrHome) {
  struct Case {
    char const* configHome;
    char const* home;
    std::string expected;
  } const cases[] = {
      {"/srv/cfg", nullptr, "/srv/cfg"},
      {"//srv//cfg//", nullptr, "/srv/cfg"},
      {"", nullptr, home + "/.config"},
      {"relative/cfg", nullptr, home + "/.config"},
      {nullptr, nullptr, home + "/.config"},
      {nullptr, "/", "/.config"},
      {nullptr, "//users/ann/", "/users/ann/.config"},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.expected);
    Set("XDG_CONFIG_HOME", c.configHome);
    Set("HOME", c.home ? c.home : home.c_str());
    EXPECT_EQ(Stored(c.expected), Folder(kFolderUserAppData));
  }
}

TEST_F(SpecialFolders, WithoutHomeThePasswordEntryServes) {
  Set("XDG_CONFIG_HOME", nullptr);
  passwd const* entry = ::getpwuid(::getuid());
  ASSERT_NE(nullptr, entry);
  std::string const expected = std::string(entry->pw_dir) + "/Documents";
  for (char const* value : {static_cast<char const*>(nullptr), "", "not/absolute"}) {
    Set("HOME", value);
    EXPECT_EQ(Stored(expected), Folder(kFolderDocuments));
  }
}

TEST_F(SpecialFolders, DocumentsFromUserDirs) {
  struct Case {
    char const* file;  // null: no user-dirs.dirs
    std::string expected;
  } const cases[] = {
      {nullptr, home + "/Documents"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n", home + "/Docs"},
      {"  XDG_DOCUMENTS_DIR=\"/srv/shared docs\"\n", "/srv/shared docs"},
      {"XDG_DOCUMENTS_DIR=$HOME/bare # comment\n", home + "/bare"},
      {"XDG_DOCUMENTS_DIR=\"${HOME}/braced\"", home + "/braced"},
      {"XDG_DOCUMENTS_DIR=\"$HOME\"\n", home},
      {"XDG_DOCUMENTS_DIR=\"$HOME/a\\\"b\\\\c\"\n", home + "/a\"b\\c"},
      {"XDG_DOCUMENTS_DIR=\"/first\"\nXDG_DOCUMENTS_DIR=\"/second\"\n", "/second"},
      {"XDG_DOCUMENTS_DIR=\"/kept\"\nXDG_DOCUMENTS_DIR=\"relative\"\n", "/kept"},
      {"# XDG_DOCUMENTS_DIR=\"/commented\"\n", home + "/Documents"},
      {"XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"\n", home + "/Documents"},
      {"XDG_DOCUMENTS_DIR=\"/unterminated\n", home + "/Documents"},
      {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nMY_XDG_DOCUMENTS_DIR=\"/no\"\n", home + "/Documents"},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "no file");
    std::filesystem::remove(environment.ConfigHome() + "/user-dirs.dirs");
    if (c.file) WriteUserDirs(c.file);
    if (c.expected.find('\\') != std::string::npos) {
      // A backslash cannot be stored; the folder is refused rather than misread.
      PathUnits path;
      EXPECT_FALSE(GetSpecialFolderPath(kFolderDocuments, false, path));
      continue;
    }
    EXPECT_EQ(Stored(c.expected), Folder(kFolderDocuments));
  }
}

TEST_F(SpecialFolders, UserDirsIsReadFromTheConfigHome) {
  std::string const other = root + "/other-config";
  std::filesystem::create_directories(other);
  std::ofstream(other + "/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/FromOther\"\n";
  WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/FromDefault\"\n");
  Set("XDG_CONFIG_HOME", other.c_str());
  EXPECT_EQ(Stored(home + "/FromOther"), Folder(kFolderDocuments));
}

TEST_F(SpecialFolders, CreatesOnlyWhenAsked) {
  std::string const config = root + "/deep/er/config";
  Set("XDG_CONFIG_HOME", config.c_str());
  EXPECT_EQ(Stored(config), Folder(kFolderUserAppData));
  EXPECT_FALSE(std::filesystem::exists(root + "/deep"));

  EXPECT_EQ(Stored(config), Folder(kFolderUserAppData, true));
  struct stat status;
  ASSERT_EQ(0, ::stat(config.c_str(), &status));
  EXPECT_TRUE(S_ISDIR(status.st_mode));
  EXPECT_EQ(0700u, status.st_mode & 0777u) << "the user's folders are private";
  EXPECT_EQ(Stored(config), Folder(kFolderUserAppData, true)) << "an existing folder is fine";

  WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/My Documents\"\n");
  Set("XDG_CONFIG_HOME", environment.ConfigHome().c_str());
  EXPECT_EQ(Stored(home + "/My Documents"), Folder(kFolderDocuments, true));
  EXPECT_TRUE(std::filesystem::is_directory(home + "/My Documents"));
}

TEST_F(SpecialFolders, FailuresLeaveTheOutputAlone) {
  std::string const file = root + "/plain-file";
  std::ofstream(file) << "x";
  struct Case {
    char const* name;
    std::string configHome;
    bool create;
  } const cases[] = {
      {"a file where the folder should be", file, true},
      {"a file among the parents", file + "/sub", true},
      {"a backslash in the path", root + "/a\\b", false},
      {"bytes that are not UTF-8", root + "/\xFF\xFE", false},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.name);
    Set("XDG_CONFIG_HOME", c.configHome.c_str());
    PathUnits path = Stored("untouched");
    EXPECT_FALSE(GetSpecialFolderPath(kFolderUserAppData, c.create, path));
    EXPECT_EQ(Stored("untouched"), path);
  }
}

TEST_F(SpecialFolders, MachineFolders) {
  EXPECT_EQ(Stored("/opt"), Folder(kFolderProgramFiles));
  EXPECT_EQ(Stored("/usr/local/share"), Folder(kFolderCommonProgramFiles));
}

TEST_F(SpecialFolders, TemporaryPathEndsInOneBackslash) {
  struct Case {
    char const* tmpdir;
    std::string expected;
  } const cases[] = {
      {nullptr, "/tmp/"},       {"", "/tmp/"},
      {"relative", "/tmp/"},    {"/var/tmp", "/var/tmp/"},
      {"/var//tmp//", "/var/tmp/"}, {"/", "/"},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.expected);
    Set("TMPDIR", c.tmpdir);
    PathUnits path;
    ASSERT_TRUE(GetTemporaryPath(path));
    EXPECT_EQ(Stored(c.expected), path);
  }
  Set("TMPDIR", "/a\\b");
  PathUnits path = Stored("untouched");
  EXPECT_FALSE(GetTemporaryPath(path));
  EXPECT_EQ(Stored("untouched"), path);
}

}  // namespace
}  // namespace platform
}  // namespace vireo
