// Child-process runs of the console program for the end-to-end tests.
#include "tests/tools/ConsoleProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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

namespace {

void SetChildEnvironment(std::string const& home) {
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
  ::setenv("TMPDIR", (home + "/tmp").c_str(), 1);
  ::setenv("LC_ALL", "C", 1);
}

std::size_t Count(std::string const& text, std::string const& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace

std::string RunConsoleOnTerminal(std::string const& home, std::vector<std::string> const& lines,
                                 int& status) {
  std::filesystem::create_directories(home + "/.config");
  std::filesystem::create_directories(home + "/tmp");
  status = -1;
  int master = -1;
  pid_t const child = ::forkpty(&master, nullptr, nullptr, nullptr);
  if (child < 0) return std::string();
  if (child == 0) {
    SetChildEnvironment(home);
    char* argv[] = {const_cast<char*>(VIREO_CONSOLE_PROGRAM), nullptr};
    ::execv(VIREO_CONSOLE_PROGRAM, argv);
    ::_exit(121);
  }
  // Each line is read from an empty prompt; its first drawing marks the moment to type.
  std::string const emptyPrompt = "\rvireo> \x1b[K";
  auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  std::string screen;
  std::size_t typed = 0;
  for (;;) {
    if (typed < lines.size() && Count(screen, emptyPrompt) > typed) {
      std::string const keys = lines[typed++] + "\r";
      if (::write(master, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) break;
    }
    if (std::chrono::steady_clock::now() > deadline) break;
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char buffer[1024];
    ssize_t const n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) break;  // EIO once the program has ended
    screen.append(buffer, static_cast<std::size_t>(n));
  }
  if (std::chrono::steady_clock::now() > deadline) ::kill(child, SIGKILL);
  int result = 0;
  if (::waitpid(child, &result, 0) == child && WIFEXITED(result)) status = WEXITSTATUS(result);
  ::close(master);
  return screen;
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
    SetChildEnvironment(home);
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
