// The console program end to end: command scripts piped in or given with -c, what it prints,
// how it ends and which files it leaves in its home directory.
#include <gtest/gtest.h>

#include <regex>
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
    "debug.clear - clears the contents of the debug database.\n"
    "debug.get <variable path> - Gets the value of the debug variable from the debug "
    "database.\n"
    "debug.list - displays the entire contents of the debug database.\n"
    "debug.set <variable path> = <value> - Sets the value of the debug variable in the debug "
    "database.\n"
    "filesupport.dir <file path> - given a path, echos the path and indicates if the "
    "directory exists\n"
    "filesupport.file <file path> - given a file name, echos the path and indicates if the "
    "file exists\n"
    "filesupport.listdirs - list the special directoriees.\n"
    "filesupport.listvols - list the mounted volumes.\n"
    "help - lists the installed commands.\n"
    "quit - ends the console.\n"
    "trace.get <category> - Gets the volume of this trace category.\n"
    "trace.get.master - Gets the master trace volume. This is the highest volume that will be "
    "traced.\n"
    "trace.getcategories - Lists all catagories that have been traced.\n"
    "trace.set <category> <volume> - Sets the volume of this trace category.\n"
    "trace.set.master <volume> - Sets the master trace volume. This is the highest volume "
    "that will be traced.\n"
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
  EXPECT_EQ(0u, missing.err.find("vireo-console: -c needs a command line\nusage:")) << missing.err;

  ConsoleRun const help = Run({"--help"});
  EXPECT_EQ(0, help.status);
  EXPECT_EQ(0u, help.out.find("usage: vireo-console [-d] [-c LINE]..."));
}

TEST_F(ConsoleProgram, DebugAndTraceCommandsFromAScript) {
  ConsoleRun const run = Run({},
                             "trace.get.master\n"
                             "trace.set Clip.Decode 7\n"
                             "trace.get clip.decode\n"
                             "trace.set.master 3\n"
                             "debug.set assert.enabled = true\n"
                             "debug.get assert.enabled\n"
                             "debug.list\n"
                             "debug.clear\n"
                             "debug.list\n");
  EXPECT_EQ(
      "Master trace volume is 10.\n"
      "trace category Clip.Decode set to volume 7.\n"
      "trace volume for category clip.decode is 5.\n"
      "Master trace volume set to 3.\n"
      "assert.enabled = true\n"
      "Listing contents of debug database!\n"
      "assert.enabled = true\n"
      "Clearing contents of debug database!\n"
      "Listing contents of debug database!\n",
      run.out);
  EXPECT_EQ("", run.err);
  EXPECT_EQ(0, run.status);

  // The settings are on disk; clearing the debug database leaves its file until the next set.
  std::string const dir = Home() + "/.config/vireo/vireo-console/2.0";
  EXPECT_EQ(
      "Clip.Decode\t1\t7\r\nMaster\t1\t3\r\nclip.decode\t1\t5\r\nvireo-console\t1\t5\r\n",
      ReadWholeFile(dir + "/Trace Database.txt"));
  EXPECT_EQ("assert.enabled\ttrue\r\n", ReadWholeFile(dir + "/Debug Database.txt"));

  // The next run starts from them.
  ConsoleRun const next = Run({"-c", "trace.get.master", "-c", "trace.get Clip.Decode"});
  EXPECT_EQ("Master trace volume is 3.\ntrace volume for category Clip.Decode is 7.\n", next.out);
}

TEST_F(ConsoleProgram, DebuggerOutputShowsTracesOnlyWhenAskedFor) {
  ConsoleRun const quiet = Run({"-c", "help"});
  EXPECT_EQ("", quiet.err);
  ConsoleRun const shown = Run({"-d", "-c", "  help ", "-c", "", "-c", "trace.get.master"});
  EXPECT_EQ(kCommandList + "Master trace volume is 10.\n", shown.out);
  std::regex const traced(
      "<\\d+> <vireo-console> <5> command:   help \r\n"
      "<\\d+> <vireo-console> <5> command: trace.get.master\r\n");
  EXPECT_TRUE(std::regex_match(shown.err, traced)) << shown.err;
  // Below the category's volume nothing is traced.
  ConsoleRun const lower = Run({"-d", "-c", "trace.set vireo-console 4", "-c", "help"});
  EXPECT_TRUE(std::regex_match(
      lower.err, std::regex("<\\d+> <vireo-console> <5> command: trace.set vireo-console 4\r\n")))
      << lower.err;
}

TEST_F(ConsoleProgram, TerminalSessionWithPromptAndBanner) {
  int status = -1;
  std::string const screen =
      RunConsoleOnTerminal(Home(), {"trace.get.master", "nosuch", "helq\x7fp", "quit"}, status);
  EXPECT_EQ(1, status) << screen;
  EXPECT_EQ(0u, screen.find("vireo-console 2.0.0.Gadwall. Type help for the commands, quit to "
                            "leave.\r\n\rvireo> "))
      << screen;
  // Output lines reach the terminal as the system writes them (LF shown as CR LF).
  EXPECT_NE(std::string::npos, screen.find("\r\nMaster trace volume is 10.\r\n")) << screen;
  EXPECT_NE(std::string::npos,
            screen.find("unknown command: nosuch (type help for the list)\r\n")) << screen;
  std::string list = kCommandList;
  for (std::size_t at = list.find('\n'); at != std::string::npos; at = list.find('\n', at + 2))
    list.replace(at, 1, "\r\n");
  EXPECT_NE(std::string::npos, screen.find(list)) << screen;
  // One empty prompt per line read; none after quit.
  std::size_t prompts = 0;
  for (std::size_t at = screen.find("\rvireo> \x1b[K"); at != std::string::npos;
       at = screen.find("\rvireo> \x1b[K", at + 1))
    ++prompts;
  EXPECT_EQ(4u, prompts) << screen;
}

std::string const kPrefDir = ".config/vireo/vireo-console/2.0";

// The files a run leaves, but the settings files the trace and debug commands keep.
std::vector<std::string> FilesBesideSettings(std::string const& home) {
  std::vector<std::string> files;
  for (std::string const& file : FilesBelow(home))
    if (file != kPrefDir + "/Trace Database.txt" && file != kPrefDir + "/Debug Database.txt")
      files.push_back(file);
  return files;
}

TEST_F(ConsoleProgram, LeavesNoLogWithoutTheCurrentLogFile) {
  ConsoleRun const run = Run({}, "help\nnosuch\nquit\n");
  EXPECT_EQ(1, run.status);
  // Only the trace settings, made by the program's first trace query.
  EXPECT_EQ(std::vector<std::string>{kPrefDir + "/Trace Database.txt"}, FilesBelow(Home()));
  EXPECT_EQ("Master\t1\t10\r\nvireo-console\t1\t5\r\n",
            ReadWholeFile(Home() + "/" + kPrefDir + "/Trace Database.txt"));
}

TEST_F(ConsoleProgram, AnExistingLogIsKeptAndANewOneRecordsTheSession) {
  std::string const dir = Home() + "/" + kPrefDir;
  WriteWholeFile(dir + "/vireo-console Log.txt", "the previous session\n");
  WriteWholeFile(dir + "/vireo-console Log-last.txt", "the one before\n");
  ConsoleRun const run = Run({}, "help\n\ntrace.get.master\nnosuch\nquit\nhelp\n");
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(kCommandList + "Master trace volume is 10.\n", run.out);

  EXPECT_EQ((std::vector<std::string>{kPrefDir + "/vireo-console Log-last.txt",
                                      kPrefDir + "/vireo-console Log.txt"}),
            FilesBesideSettings(Home()));
  EXPECT_EQ("the previous session\n", ReadWholeFile(dir + "/vireo-console Log-last.txt"));
  std::string const date = "[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] [0-9:]{8} [0-9]{4}";
  std::string const traced = "Ticks = [0-9]+      <[0-9]+> <vireo-console> <5> command: ";
  std::regex const log("Log file created: " + date + "\r\n-{44}\r\n" +  //
                       traced + "help\r\n" +                             //
                       traced + "trace.get.master\r\n" +                 //
                       traced + "nosuch\r\n" +                           //
                       traced + "quit\r\n" +                             //
                       "-{45}\r\nLog file closed: " + date + "\r\n\r\n");
  std::string const text = ReadWholeFile(dir + "/vireo-console Log.txt");
  EXPECT_TRUE(std::regex_match(text, log)) << text;

  // The next start moves this log aside in its turn.
  Run({"-c", "help"});
  EXPECT_EQ(text, ReadWholeFile(dir + "/vireo-console Log-last.txt"));
}

TEST_F(ConsoleProgram, FileSystemCommandsShowTheLibrarysView) {
  WriteWholeFile(Home() + "/media/Clip.AVI", "data");
  std::string stored = Home();
  for (char& c : stored)
    if (c == '/') c = '\\';
  ConsoleRun const run = Run({"-c", "filesupport.file " + Home() + "/media/Clip.AVI", "-c",
                              "filesupport.file " + Home() + "/media/none.txt", "-c",
                              "filesupport.dir " + Home() + "/media", "-c",
                              "filesupport.listdirs"});
  EXPECT_EQ(0, run.status) << run.err;
  std::regex const expected(
      "File.FullPath: " + std::regex_replace(stored, std::regex("\\\\"), "\\\\") +
      "\\\\media\\\\Clip.AVI\n    found.\n   File.Created: [0-9]+\n   File.Modified: [0-9]+\n"
      " File.GetName: Clip.AVI\n File.GetTitle: Clip\n File.GetExtension: .AVI\n"
      " File.GetExtension toLower: .avi\n"
      "File.FullPath: .*\\\\media\\\\none.txt\n    not found.\n"
      "Directory Path: .*\\\\media\n    found.\n Dir Name: media\n Parent Path: .*\n    found\n"
      "   Dir.Created: [0-9]+\n   Dir.Modified: [0-9]+\n"
      "App Dir = \t\t.*\n(.*\n){8}Pref Dir = \t\t.*\\\\.config\\\\vireo\\\\vireo-console\\\\2.0\n"
      "Global Pref Dir = \t\t.*\n");
  EXPECT_TRUE(std::regex_match(run.out, expected)) << run.out;
}

}  // namespace
}  // namespace testing
}  // namespace vireo
