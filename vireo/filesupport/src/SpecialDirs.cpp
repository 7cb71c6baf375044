// Well-known directories: the application's own (cached, with overrides) and the user's and
// the machine's, found through the platform's special folders.
#include "vireo/filesupport/SpecialDirs.h"

#include <vector>

#include "vireo/config/ClientIdentity.h"
#include "vireo/platform/Files.h"
#include "vireo/platform/SpecialFolders.h"

namespace vireo {
namespace filesupport {
namespace {

// Process-wide and never destroyed, so that they serve until the very end of the process.
UTF16String& AppDirCache() {
  static UTF16String* const cache = new UTF16String;
  return *cache;
}

struct CommonDirs {
  File mainExecutable;
  Dir executable, resources, plugins, requiredPlugins, allUserPlugins, userPlugins;
};

CommonDirs& Caches() {
  static CommonDirs* const caches = new CommonDirs;
  return *caches;
}

UTF16String ModuleFile() {
  std::vector<unsigned short> buffer(32767);
  unsigned long const length =
      platform::ModuleFilePath(static_cast<unsigned long>(buffer.size()), buffer.data());
  // A cut path comes back as long as the buffer, its last unit the NUL.
  std::size_t const units = std::min<std::size_t>(length, buffer.size() - 1);
  return UTF16String(buffer.data(), buffer.data() + units);
}

bool ShellFolder(platform::SpecialFolder inFolder, bool inCreate, Dir& outDir) {
  platform::PathUnits path;
  if (!platform::GetSpecialFolderPath(inFolder, inCreate, path)) return false;
  outDir = Dir(UTF16String(path.begin(), path.end()));
  return true;
}

// The cached value, after computing the default when nothing is cached yet.
template <typename T, typename Default>
T Cached(T& cache, Default makeDefault) {
  if (cache.FullPath().empty()) cache = makeDefault();
  return cache;
}

UTF16String Text(char const* text) { return utility::AsciiToUTF16(text); }

}  // namespace

Dir Dir::AppDir() {
  UTF16String& cache = AppDirCache();
  if (cache.empty()) {
    static unsigned short const kSeparators[] = {'\\', '/'};
    UTF16String const module = ModuleFile();
    std::size_t const separator = module.find_last_of(kSeparators, UTF16String::npos, 2);
    if (separator != UTF16String::npos) cache = module.substr(0, separator);
  }
  return Dir(cache);
}

Dir Dir::PackageDir() { return AppDir(); }

Dir Dir::CommonFilesDir() {
  Dir folder;
  return ShellFolder(platform::kFolderCommonProgramFiles, false, folder) ? folder : AppDir();
}

Dir Dir::UserDocsDir() {
  Dir folder;
  return ShellFolder(platform::kFolderDocuments, true, folder) ? folder : AppDir();
}

Dir Dir::TempDir() {
  platform::PathUnits units;
  // The temporary path fails only for a $TMPDIR that cannot be stored; /tmp stands in. Dir
  // drops the trailing backslash the platform gives.
  return Dir(platform::GetTemporaryPath(units) ? UTF16String(units.begin(), units.end())
                                               : Text("\\tmp"));
}

Dir Dir::GlobalPrefDir() {
  Dir folder;
  return ShellFolder(platform::kFolderUserAppData, true, folder) ? folder : AppDir();
}

Dir Dir::PrefDir() {
  Dir directory = GlobalPrefDir();
  for (UTF16String const* level : {&config::GetCompanyName(), &config::GetClientName(),
                                   &config::GetClientInternalVersion()}) {
    directory = Dir(directory, *level);
    directory.Create();
  }
  return directory;
}

namespace commondirs {

File MainExecutableFile() {
  return Cached(Caches().mainExecutable, [] { return File(ModuleFile()); });
}

Dir ExecutableDir() { return Cached(Caches().executable, Dir::AppDir); }

Dir ResourcesDir() { return Cached(Caches().resources, Dir::AppDir); }

Dir PluginsDir() {
  return Cached(Caches().plugins, [] { return Dir(Dir::AppDir(), Text("Plug-ins")); });
}

Dir RequiredPluginsDir() {
  return Cached(Caches().requiredPlugins, [] { return Dir(Dir::AppDir(), Text("Required")); });
}

Dir AllUserPluginsDir() {
  return Cached(Caches().allUserPlugins, [] {
    Dir programFiles;
    if (!ShellFolder(platform::kFolderProgramFiles, false, programFiles)) return Dir();
    return Dir(programFiles.FullPath() + Text("/Quillon/Common/Plug-ins"));
  });
}

Dir UserPluginsDir() { return Cached(Caches().userPlugins, AllUserPluginsDir); }

void SetMainExecutableOverride(File const& inFile) { Caches().mainExecutable = inFile; }
void SetExecutableDirOverride(Dir const& inDir) { Caches().executable = inDir; }
void SetResourcesDirOverride(Dir const& inDir) { Caches().resources = inDir; }
void SetPluginsDirOverride(Dir const& inDir) { Caches().plugins = inDir; }
void SetRequiredPluginsDirOverride(Dir const& inDir) { Caches().requiredPlugins = inDir; }
void SetAppDirOverride(Dir const& inDir) { AppDirCache() = inDir.FullPath(); }
void SetPackageDirOverride(Dir const& inDir) { SetAppDirOverride(inDir); }

}  // namespace commondirs
}  // namespace filesupport
}  // namespace vireo
