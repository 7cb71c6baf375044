// Special folders by the XDG base-directory and user-directory conventions.
#include "vireo/platform/SpecialFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "vireo/platform/Files.h"

namespace vireo {
namespace platform {
namespace {

// Runs of slashes become one and trailing ones go ("//home//ann/" is "/home/ann"), so that
// no stored path starts with two backslashes, which would make it a network path.
std::string Tidy(std::string const& path) {
  std::string tidy;
  for (char c : path)
    if (c != '/' || tidy.empty() || tidy.back() != '/') tidy.push_back(c);
  if (tidy.size() > 1 && tidy.back() == '/') tidy.pop_back();
  return tidy;
}

// XDG rules: a variable that is unset, empty or relative counts as unset.
std::string AbsoluteVariable(char const* name) {
  char const* value = std::getenv(name);
  return value && value[0] == '/' ? Tidy(value) : std::string();
}

std::string HomeDirectory() {
  std::string home = AbsoluteVariable("HOME");
  if (!home.empty()) return home;
  long const size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry;
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && found->pw_dir[0] == '/')
    return Tidy(found->pw_dir);
  return std::string();
}

std::string Join(std::string const& directory, char const* name) {
  if (directory.empty()) return std::string();
  return directory == "/" ? directory + name : directory + "/" + name;
}

std::string ConfigHome() {
  std::string const config = AbsoluteVariable("XDG_CONFIG_HOME");
  return config.empty() ? Join(HomeDirectory(), ".config") : config;
}

// The value of one shell assignment: double-quoted with backslash escapes, or bare up to
// white space. False for an unterminated quote.
bool ShellValue(std::string const& text, std::string& value) {
  value.clear();
  if (text.empty() || text[0] != '"') {
    value = text.substr(0, text.find_first_of(" \t\r\n"));
    return true;
  }
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '"') return true;
    if (text[i] == '\\' && i + 1 < text.size()) ++i;
    value.push_back(text[i]);
  }
  return false;
}

// XDG_DOCUMENTS_DIR of user-dirs.dirs: "$HOME/..." or an absolute path; the last valid
// assignment wins, as when the file is sourced by a shell.
std::string DocumentsFromUserDirs(std::string const& configHome, std::string const& home) {
  if (configHome.empty()) return std::string();
  std::FILE* file = std::fopen(Join(configHome, "user-dirs.dirs").c_str(), "re");
  if (!file) return std::string();
  static char const kKey[] = "XDG_DOCUMENTS_DIR=";
  std::string result;
  char* line = nullptr;
  std::size_t capacity = 0;
  while (::getline(&line, &capacity, file) != -1) {
    std::string text(line);
    text.erase(0, text.find_first_not_of(" \t"));
    if (text.compare(0, sizeof kKey - 1, kKey) != 0) continue;
    std::string value;
    if (!ShellValue(text.substr(sizeof kKey - 1), value)) continue;
    for (char const* prefix : {"$HOME", "${HOME}"}) {
      std::string const p(prefix);
      if (value.compare(0, p.size(), p) == 0 && (value.size() == p.size() || value[p.size()] == '/')) {
        if (home.empty()) value.clear();
        else value = home + value.substr(p.size());
        break;
      }
    }
    if (!value.empty() && value[0] == '/') result = Tidy(value);
  }
  std::free(line);
  std::fclose(file);
  return result;
}

std::string DocumentsDirectory() {
  std::string const home = HomeDirectory();
  std::string const documents = DocumentsFromUserDirs(ConfigHome(), home);
  return documents.empty() ? Join(home, "Documents") : documents;
}

bool IsDirectory(std::string const& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool MakeDirectories(std::string const& path) {
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    std::string const part = path.substr(0, end);
    // mkdir alone could fail for want of write access on an existing ancestor.
    if (!IsDirectory(part) && ::mkdir(part.c_str(), 0700) != 0 && !IsDirectory(part)) return false;
    if (end == std::string::npos) return true;
  }
}

}  // namespace

bool GetSpecialFolderPath(SpecialFolder inFolder, bool inCreate, PathUnits& outPath) {
  std::string path;
  switch (inFolder) {
    case kFolderUserAppData: path = ConfigHome(); break;
    case kFolderDocuments: path = DocumentsDirectory(); break;
    case kFolderProgramFiles: path = "/opt"; break;
    case kFolderCommonProgramFiles: path = "/usr/local/share"; break;
  }
  PathUnits stored;
  if (path.empty() || !PosixToStoredPath(path.data(), path.size(), stored)) return false;
  if (inCreate && !MakeDirectories(path)) return false;
  outPath.swap(stored);
  return true;
}

bool GetTemporaryPath(PathUnits& outPath) {
  std::string path = AbsoluteVariable("TMPDIR");
  if (path.empty()) path = "/tmp";
  PathUnits stored;
  if (!PosixToStoredPath(path.data(), path.size(), stored)) return false;
  if (stored.back() != '\\') stored.push_back('\\');
  outPath.swap(stored);
  return true;
}

}  // namespace platform
}  // namespace vireo
