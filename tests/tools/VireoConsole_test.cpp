// The console program end to end: command scripts piped in or given with -c, what it prints,
// how it ends and which files it leaves in its home directory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TestEnvironment.h"
#include "tests/tools/ConsoleProgram.h"

namespace vireo {
namespace testing {
namespace {

std::string const kCommandList =
    "Currently installed commands.\n"
    "-----------------------------\n"
    "help - lists the installed commands.\n"
    "quit - ends the console.\n"
    "\n";

class ConsoleProgram : public ::testing::Test {
 protected:
  std::string Home() const { return root_.Path() + "/home"; }
  ConsoleRun Run(std::vector<std::string> const& arguments, std::string const& input = "") {
    return RunConsole(Home(), arguments, input);
  }
  TemporaryDirectory root_;
};

TEST_F(ConsoleProgram, ScriptsAndCommandOptions) {
  struct Case {
    char const* name;
    std::vector<std::string> arguments;
    std::string input;
    std::string out;
    std::string err;
    int status;
  } const cases[] = {
      {"help piped", {}, "help\n", kCommandList, "", 0},
      {"no input", {}, "", "", "", 0},
      {"names ignore case and blanks", {}, "  HeLp  \r\n\t\n\nhelp", kCommandList + kCommandList,
       "", 0},
      {"quit ends the script", {}, "help\nquit\nhelp\nnosuch\n", kCommandList, "", 0},
      {"unknown commands are reported and skipped", {}, "nosuch a b\nhelp\n", kCommandList,
       "unknown command: nosuch (type help for the list)\n", 1},
      {"one command", {"-c", "help"}, "help\n", kCommandList, "", 0},
      {"joined option", {"-chelp"}, "", kCommandList, "", 0},
      {"commands in order, up to quit", {"-c", " help ", "-c", "quit", "-c", "nosuch"}, "",
       kCommandList, "", 0},
      {"unknown command option", {"-c", "help.me"}, "", "",
       "unknown command: help.me (type help for the list)\n", 1},
      {"empty command option", {"-c", ""}, "", "", "", 0},
      {"version", {"--version"}, "", "vireo-console 2.0.0.Gadwall\n", "", 0},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.name);
    ConsoleRun const run = Run(c.arguments, c.input);
    EXPECT_EQ(c.out, run.out);
    EXPECT_EQ(c.err, run.err);
    EXPECT_EQ(c.status, run.status);
  }
}

TEST_F(ConsoleProgram, UsageErrorsAndHelpOption) {
  ConsoleRun const bad = Run({"--frobnicate"});
  EXPECT_EQ(2, bad.status);
  EXPECT_EQ("", bad.out);
  EXPECT_EQ(0u, bad.err.find("vireo-console: unexpected argument '--frobnicate'\nusage:"))
      << bad.err;

  ConsoleRun const missing = Run({"-c"});
  EXPECT_EQ(2, missing.status);

  ConsoleRun const help = Run({"--help"});
  EXPECT_EQ(0, help.status);
  EXPECT_EQ(0u, help.out.find("usage: vireo-console [-c LINE]..."));
}

TEST_F(ConsoleProgram, LeavesNoFilesWithoutALog) {
  ConsoleRun const run = Run({}, "help\nnosuch\nquit\n");
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(std::vector<std::string>{}, FilesBelow(Home()));
}

}  // namespace
}  // namespace testing
}  // namespace vireo
