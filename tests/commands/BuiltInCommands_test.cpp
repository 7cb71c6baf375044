// The built-in console commands, run through the interpreter as a developer types them. The
// debug and trace databases and the registry are process-wide, so this is a process of its
// own, with its preferences directory in a temporary home.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/TestEnvironment.h"
#include "vireo/config/ClientIdentity.h"
#include "vireo/console/CommandRegistry.h"
#include "vireo/console/Console.h"

namespace vireo {
namespace console {
namespace {

using utility::AsciiToUTF16;

testing::IsolatedEnvironment* gEnvironment = nullptr;

class CommandEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    gEnvironment = new testing::IsolatedEnvironment;
    config::SetCompanyName(AsciiToUTF16("Heron Works"));
    config::SetClientName(AsciiToUTF16("Clipper"));
    config::SetClientInternalVersion(AsciiToUTF16("7.1"));
    Initialize();
  }
  void TearDown() override {
    Terminate();
    delete gEnvironment;
  }
};
::testing::Environment* const gCommandEnvironment =
    ::testing::AddGlobalTestEnvironment(new CommandEnvironment);

std::string PrefDir() { return gEnvironment->ConfigHome() + "/Heron Works/Clipper/7.1"; }

std::string Read(std::string const& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs one line; the output with each CR LF shown as "|".
std::string RunLine(std::string const& line) {
  UTF16StringBuffer buffer;
  UTF16OutputStream out(&buffer);
  bool const ran = ExecuteCommand(
      utility::UTF8to16(utility::UTF8String(line.begin(), line.end())), out);
  utility::UTF8String const bytes = utility::UTF16to8(buffer.str());
  std::string text(bytes.begin(), bytes.end());
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
    text.replace(at, 2, "|");
  return ran ? text : "<not run>";
}

struct Step {
  char const* line;
  char const* output;
};

void RunSteps(std::vector<Step> const& steps) {
  for (Step const& step : steps) {
    SCOPED_TRACE(step.line);
    EXPECT_EQ(step.output, RunLine(step.line));
  }
}

// Runs first: the master volume before anything set it.
TEST(TraceCommands, VolumesOfCategoriesAndMaster) {
  RunSteps({
      {"trace.get.master", "Master trace volume is 10.|"},
      {"trace.get Clip.Decode", "trace volume for category Clip.Decode is 5.|"},
      {"trace.set Clip.Decode 7", "trace category Clip.Decode set to volume 7.|"},
      {"TRACE.GET   Clip.Decode  ", "trace volume for category Clip.Decode is 7.|"},
      {"trace.set Clip.Decode", "trace volume for category Clip.Decode is 7.|"},
      {"trace.set Clip.Audio abc", "trace category Clip.Audio set to volume 0.|"},
      {"trace.set Clip.Audio\t 12abc", "trace category Clip.Audio set to volume 12.|"},
      {"trace.set Clip.Audio -3", "trace category Clip.Audio set to volume -3.|"},
      {"trace.set Clip.Audio 99999999999", "trace category Clip.Audio set to volume 2147483647.|"},
      {"trace.get Clip.Audio", "trace volume for category Clip.Audio is 2147483647.|"},
      {"trace.set.master 3", "Master trace volume set to 3.|"},
      {"trace.get.master", "Master trace volume is 3.|"},
      {"trace.set.master", "Master trace volume set to 0.|"},
      {"trace.get.master", "Master trace volume is 0.|"},
  });
  std::string const categories = RunLine("trace.getcategories");
  EXPECT_EQ(0u, categories.find("Trace Categories:|")) << categories;
  for (char const* name : {"|Master|", "|Clip.Decode|", "|Clip.Audio|"})
    EXPECT_NE(std::string::npos, (categories + "|").find(name)) << name << " in " << categories;
  // Every change is on disk at once, one CR LF line per category in key order.
  EXPECT_EQ(
      "Clip.Audio\t1\t2147483647\r\nClip.Decode\t1\t7\r\nMaster\t1\t0\r\n",
      Read(PrefDir() + "/Trace Database.txt"));
}

TEST(DebugCommands, SetGetListAndClear) {
  RunSteps({
      {"debug.clear", "Clearing contents of debug database!|"},
      {"debug.list", "Listing contents of debug database!|"},
      {"debug.set a.b = 1", ""},
      {"debug.get a.b", "a.b = 1|"},
      {"debug.set  assert.enabled=  true  ", ""},
      {"debug.set x = y = z", ""},
      {"debug.set spaced\t=\tsome value ", ""},
      {"debug.set\tnot.a.name = 1", "<not run>"},  // only a space ends the name
      {"debug.set no.value", ""},
      {"debug.get x", "x = y|"},
      {"debug.get spaced", "spaced = some value|"},
      {"debug.get no.value", "no.value = |"},
      {"debug.get never.set", "never.set = |"},
      {"Debug.Get assert.enabled", "assert.enabled = true|"},
  });
  std::string const list = RunLine("debug.list");
  EXPECT_EQ(0u, list.find("Listing contents of debug database!|")) << list;
  for (char const* entry : {"|a.b = 1|", "|assert.enabled = true|", "|x = y|",
                            "|spaced = some value|", "|no.value = |", "|never.set = |"})
    EXPECT_NE(std::string::npos, list.find(entry)) << entry << " in " << list;

  // A variable only read reaches the file with the next change.
  EXPECT_EQ(
      "a.b\t1\r\nassert.enabled\ttrue\r\nno.value\t\r\nspaced\tsome value\r\nx\ty\r\n",
      Read(PrefDir() + "/Debug Database.txt"));

  RunSteps({
      {"debug.clear", "Clearing contents of debug database!|"},
      {"debug.list", "Listing contents of debug database!|"},
  });
}

TEST(FileSupportCommands, FilesAndDirectories) {
  std::string const home = gEnvironment->Home();
  std::filesystem::create_directories(home + "/media");
  std::ofstream(home + "/media/Clip.AVI") << "data";
  std::string const stored = [&] {
    std::string s = home;
    for (char& c : s)
      if (c == '/') c = '\\';
    return s;
  }();

  std::string const found = RunLine("filesupport.file " + home + "/media/Clip.AVI");
  EXPECT_EQ(0u, found.find("File.FullPath: " + stored + "\\media\\Clip.AVI|    found.|"
                           "   File.Created: ")) << found;
  EXPECT_NE(std::string::npos, found.find("| File.GetName: Clip.AVI| File.GetTitle: Clip|"
                                          " File.GetExtension: .AVI|"
                                          " File.GetExtension toLower: .avi|")) << found;
  EXPECT_EQ(std::string::npos, found.find("Threw")) << found;

  EXPECT_EQ("File.FullPath: " + stored + "\\media\\missing.txt|    not found.|",
            RunLine("filesupport.file " + home + "/media/missing.txt"));

  std::string const dir = RunLine("filesupport.dir " + home + "/media");
  EXPECT_EQ(0u, dir.find("Directory Path: " + stored + "\\media|    found.| Dir Name: media|"
                         " Parent Path: " + stored + "|    found|   Dir.Created: ")) << dir;
  EXPECT_NE(std::string::npos, dir.find("|   Dir.Modified: ")) << dir;
  EXPECT_EQ(std::string::npos, dir.find("Threw")) << dir;
  EXPECT_EQ("Directory Path: " + stored + "\\nowhere|    not found.|",
            RunLine("filesupport.dir " + home + "/nowhere"));

  std::string const dirs = RunLine("filesupport.listdirs");
  std::vector<std::string> labels = {"App Dir = ", "Executable Dir = ", "Resources Dir = ",
                                     "Package Dir = ", "Common Files Dir = ", "Plugins Dir = ",
                                     "Required Plugins Dir = ", "User Docs Dir = ",
                                     "Temp Dir = ", "Pref Dir = ", "Global Pref Dir = "};
  std::size_t at = 0;
  for (std::string const& label : labels) {
    std::size_t const next = dirs.find(label + "\t\t", at);
    EXPECT_EQ(at, next) << label << " in " << dirs;
    at = dirs.find('|', at) + 1;
  }
  EXPECT_EQ(dirs.size(), at);
  std::string prefStored = PrefDir();
  for (char& c : prefStored)
    if (c == '/') c = '\\';
  EXPECT_NE(std::string::npos, dirs.find("Pref Dir = \t\t" + prefStored + "|")) << dirs;

  std::string const volumes = RunLine("filesupport.listvols");
  EXPECT_EQ(0u, volumes.find("List Volumes: |")) << volumes;
}

TEST(BuiltInCommands, ListedWithTheirHelpTexts) {
  UTF16StringBuffer buffer;
  UTF16OutputStream out(&buffer);
  ListCommands(out);
  utility::UTF8String const bytes = utility::UTF16to8(buffer.str());
  std::string const list(bytes.begin(), bytes.end());
  // Case-insensitive name order.
  EXPECT_EQ(
      "Currently installed commands.\r\n"
      "-----------------------------\r\n"
      "debug.clear - clears the contents of the debug database.\r\n"
      "debug.get <variable path> - Gets the value of the debug variable from the debug "
      "database.\r\n"
      "debug.list - displays the entire contents of the debug database.\r\n"
      "debug.set <variable path> = <value> - Sets the value of the debug variable in the debug "
      "database.\r\n"
      "filesupport.dir <file path> - given a path, echos the path and indicates if the "
      "directory exists\r\n"
      "filesupport.file <file path> - given a file name, echos the path and indicates if the "
      "file exists\r\n"
      "filesupport.listdirs - list the special directoriees.\r\n"
      "filesupport.listvols - list the mounted volumes.\r\n"
      "trace.get <category> - Gets the volume of this trace category.\r\n"
      "trace.get.master - Gets the master trace volume. This is the highest volume that will be "
      "traced.\r\n"
      "trace.getcategories - Lists all catagories that have been traced.\r\n"
      "trace.set <category> <volume> - Sets the volume of this trace category.\r\n"
      "trace.set.master <volume> - Sets the master trace volume. This is the highest volume "
      "that will be traced.\r\n"
      "\r\n",
      list);
}

TEST(BuiltInCommands, TerminateRemovesTheCommandsThatRanAndInitializeRestoresThem) {
  RunLine("debug.list");
  Terminate();
  EXPECT_EQ("<not run>", RunLine("debug.list"));
  Initialize();
  EXPECT_EQ(0u, RunLine("debug.list").find("Listing contents of debug database!"));
}

}  // namespace
}  // namespace console
}  // namespace vireo
