// Well-known directories and their overrides. The caches are process-wide, so this program
// owns its process and its tests run in the order written: defaults first, then overrides.
#include "vireo/filesupport/SpecialDirs.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/IsolatedProgram.h"
#include "tests/support/TestEnvironment.h"
#include "vireo/config/ClientIdentity.h"
#include "vireo/filesupport/FileExceptions.h"

namespace vireo {
namespace filesupport {
namespace {

namespace fs = std::filesystem;

::testing::Environment* const kIsolated =
    ::testing::AddGlobalTestEnvironment(new vireo::testing::IsolatedProgram);

UTF16String U(std::string const& ascii) { return utility::AsciiToUTF16(ascii.c_str()); }

UTF16String Stored(std::string posix) {
  std::replace(posix.begin(), posix.end(), '/', '\\');
  return U(posix);
}

std::string Env(char const* name) { return std::getenv(name); }

std::string Executable() { return fs::read_symlink("/proc/self/exe").string(); }

TEST(SpecialDirs, Defaults) {
  std::string const exe = Executable();
  UTF16String const appDir = Stored(exe.substr(0, exe.rfind('/')));
  EXPECT_EQ(appDir, Dir::AppDir().FullPath());
  EXPECT_EQ(appDir, Dir::PackageDir().FullPath());
  EXPECT_EQ(Stored(exe), commondirs::MainExecutableFile().FullPath());
  EXPECT_EQ(appDir, commondirs::ExecutableDir().FullPath());
  EXPECT_EQ(appDir, commondirs::ResourcesDir().FullPath());
  EXPECT_EQ(appDir + U("\\Plug-ins"), commondirs::PluginsDir().FullPath());
  EXPECT_EQ(U("\\opt\\Quillon\\Common\\Plug-ins"), commondirs::AllUserPluginsDir().FullPath());
  EXPECT_EQ(U("\\opt\\Quillon\\Common\\Plug-ins"), commondirs::UserPluginsDir().FullPath());
  EXPECT_EQ(U("\\usr\\local\\share"), Dir::CommonFilesDir().FullPath());
  EXPECT_EQ(Stored(Env("TMPDIR")), Dir::TempDir().FullPath()) << "without its trailing backslash";

  std::string const documents = Env("HOME") + "/Documents";
  ASSERT_FALSE(fs::exists(documents));
  EXPECT_EQ(Stored(documents), Dir::UserDocsDir().FullPath());
  EXPECT_TRUE(fs::is_directory(documents)) << "created when missing";

  std::string const config = Env("XDG_CONFIG_HOME");
  fs::remove_all(config);
  EXPECT_EQ(Stored(config), Dir::GlobalPrefDir().FullPath());
  EXPECT_TRUE(fs::is_directory(config));
}

TEST(SpecialDirs, PrefDirIsMadeFromTheClientIdentity) {
  config::SetCompanyName(U("Acme Media"));
  config::SetClientName(U("Cutter"));
  config::SetClientInternalVersion(U("7.1"));
  std::string const expected = Env("XDG_CONFIG_HOME") + "/Acme Media/Cutter/7.1";
  EXPECT_EQ(Stored(expected), Dir::PrefDir().FullPath());
  EXPECT_TRUE(fs::is_directory(expected));
  std::ofstream(expected + "/kept.txt") << "x";
  EXPECT_EQ(Stored(expected), Dir::PrefDir().FullPath()) << "existing levels are fine";
  EXPECT_TRUE(fs::exists(expected + "/kept.txt"));

  // A level that cannot be made stops the walk with the directory's exception.
  config::SetClientName(U("Other/Beta"));
  try {
    Dir::PrefDir();
    ADD_FAILURE() << "no exception";
  } catch (dir_exception const& e) {
    EXPECT_EQ(Stored(Env("XDG_CONFIG_HOME") + "/Acme Media/Other/Beta"), e.GetDir().FullPath());
  }
  config::SetClientName(U("Cutter"));
}

TEST(SpecialDirs, FailedLookupsFallBackToTheAppDir) {
  std::string const config = Env("XDG_CONFIG_HOME");
  std::string const home = Env("HOME");
  std::string const blocker = home + "/blocker";
  std::ofstream(blocker) << "a file where folders should go";
  ::setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
  ::setenv("HOME", blocker.c_str(), 1);
  UTF16String const appDir = Dir::AppDir().FullPath();
  EXPECT_EQ(appDir, Dir::GlobalPrefDir().FullPath());
  EXPECT_EQ(appDir, Dir::UserDocsDir().FullPath());
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  ::setenv("HOME", home.c_str(), 1);

  std::string const tmp = Env("TMPDIR");
  ::setenv("TMPDIR", "/a\\b", 1);  // no stored form
  EXPECT_EQ(U("\\tmp"), Dir::TempDir().FullPath());
  ::setenv("TMPDIR", tmp.c_str(), 1);
}

TEST(SpecialDirs, Overrides) {
  UTF16String const oldAppDir = Dir::AppDir().FullPath();
  Dir const plugins(U("\\srv\\plugins"));
  commondirs::SetPluginsDirOverride(plugins);
  EXPECT_EQ(plugins, commondirs::PluginsDir());

  // Defaults already computed keep their value; the others follow the new directory.
  commondirs::SetPackageDirOverride(Dir(U("\\srv\\app\\")));
  EXPECT_EQ(U("\\srv\\app"), Dir::AppDir().FullPath());
  EXPECT_EQ(U("\\srv\\app"), Dir::PackageDir().FullPath());
  EXPECT_EQ(oldAppDir, commondirs::ExecutableDir().FullPath());
  EXPECT_EQ(oldAppDir, commondirs::ResourcesDir().FullPath());
  EXPECT_EQ(U("\\srv\\app\\Required"), commondirs::RequiredPluginsDir().FullPath());

  commondirs::SetAppDirOverride(Dir(U("/opt/other")));
  EXPECT_EQ(U("\\opt\\other"), Dir::AppDir().FullPath());
  EXPECT_EQ(U("\\srv\\app\\Required"), commondirs::RequiredPluginsDir().FullPath());

  struct Case {
    char const* name;
    void (*set)(Dir const&);
    Dir (*get)();
  } const setters[] = {
      {"executable", commondirs::SetExecutableDirOverride, commondirs::ExecutableDir},
      {"resources", commondirs::SetResourcesDirOverride, commondirs::ResourcesDir},
      {"plugins", commondirs::SetPluginsDirOverride, commondirs::PluginsDir},
      {"required", commondirs::SetRequiredPluginsDirOverride, commondirs::RequiredPluginsDir},
  };
  for (Case const& c : setters) {
    Dir const wanted(U(std::string("\\set\\") + c.name));
    c.set(wanted);
    EXPECT_EQ(wanted, c.get()) << c.name;
  }
  commondirs::SetMainExecutableOverride(File(U("\\srv\\app\\cutter")));
  EXPECT_EQ(U("\\srv\\app\\cutter"), commondirs::MainExecutableFile().FullPath());

  // An override with an empty path clears it: the default is computed again.
  commondirs::SetPluginsDirOverride(Dir());
  EXPECT_EQ(U("\\opt\\other\\Plug-ins"), commondirs::PluginsDir().FullPath());
}

}  // namespace
}  // namespace filesupport
}  // namespace vireo
