// Runs the console program as a child process with its own home and configuration directories,
// standard input from a given text, and collects what it wrote and how it ended.
#ifndef VIREO_TESTS_TOOLS_CONSOLEPROGRAM_H
#define VIREO_TESTS_TOOLS_CONSOLEPROGRAM_H

#include <string>
#include <vector>

namespace vireo {
namespace testing {

struct ConsoleRun {
  std::string out;
  std::string err;
  int status = -1;  // the exit status, or -1 when the program did not exit normally
};

// Runs the program with `arguments`, `input` on standard input, HOME at `home`,
// XDG_CONFIG_HOME at home/.config and TMPDIR at home/tmp (both made if missing).
ConsoleRun RunConsole(std::string const& home, std::vector<std::string> const& arguments,
                      std::string const& input);

// Runs the program on a pseudo-terminal with the same environment, types each line (and
// Enter) once the program prompts for it, and gives everything the terminal showed; `status`
// receives the exit status (-1 if it did not exit normally within 30 seconds).
std::string RunConsoleOnTerminal(std::string const& home, std::vector<std::string> const& lines,
                                 int& status);

// Every regular file below `root`, as paths relative to it, sorted.
std::vector<std::string> FilesBelow(std::string const& root);

std::string ReadWholeFile(std::string const& path);
void WriteWholeFile(std::string const& path, std::string const& content);

}  // namespace testing
}  // namespace vireo

#endif
