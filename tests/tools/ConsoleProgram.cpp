// Child-process runs of the console program for the end-to-end tests.
#include "tests/tools/ConsoleProgram.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vireo {
namespace testing {

std::string ReadWholeFile(std::string const& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteWholeFile(std::string const& path, std::string const& content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

std::vector<std::string> FilesBelow(std::string const& root) {
  std::vector<std::string> files;
  for (auto const& entry : std::filesystem::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files.push_back(std::filesystem::relative(entry.path(), root).string());
  std::sort(files.begin(), files.end());
  return files;
}

ConsoleRun RunConsole(std::string const& home, std::vector<std::string> const& arguments,
                      std::string const& input) {
  std::string const io = home + "/../io";
  std::filesystem::create_directories(io);
  std::filesystem::create_directories(home + "/.config");
  std::filesystem::create_directories(home + "/tmp");
  WriteWholeFile(io + "/in", input);

  pid_t const child = ::fork();
  if (child == 0) {
    int const in = ::open((io + "/in").c_str(), O_RDONLY);
    int const out = ::open((io + "/out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int const err = ::open((io + "/err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) ::_exit(120);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    ::setenv("TMPDIR", (home + "/tmp").c_str(), 1);
    ::setenv("LC_ALL", "C", 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(VIREO_CONSOLE_PROGRAM));
    for (std::string const& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(VIREO_CONSOLE_PROGRAM, argv.data());
    ::_exit(121);
  }
  ConsoleRun run;
  int status = 0;
  if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
    run.status = WEXITSTATUS(status);
  run.out = ReadWholeFile(io + "/out");
  run.err = ReadWholeFile(io + "/err");
  return run;
}

}  // namespace testing
}  // namespace vireo
