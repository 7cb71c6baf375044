// vireo-console: the developer console. Reads command lines from standard input (edited on a
// terminal, plain when piped) or from -c options, and runs them through the library's
// command registry. Traces go to the log file when it exists in the preferences directory.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/vireo-console/ConsoleClient.h"
#include "vireo/config/ClientIdentity.h"
#include "vireo/console/CommandRegistry.h"
#include "vireo/console/Console.h"
#include "vireo/console/ConsoleLogFile.h"
#include "vireo/debug/Trace.h"
#include "vireo/platform/DebugOutput.h"
#include "vireo/platform/LineReader.h"
#include "vireo/platform/Process.h"
#include "vireo/xml/MSXMLParseHandler.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // the parser factory's auto_ptr

namespace vireo {
namespace tools {
namespace {

using utility::UTF16String;

UTF16String Text(char const* key) { return config::LocalizeOrDefault(key); }

std::string Narrow(UTF16String const& text) {
  utility::UTF8String const bytes = utility::UTF16to8(text);
  return std::string(bytes.begin(), bytes.end());
}

bool gQuit = false;

char const kTraceCategory[] = "vireo-console";
long const kTraceVolume = 5;

// Each line run goes to the trace handler, and so to the log file when there is one.
void TraceLine(std::string const& line) {
  if (line.find_first_not_of(" \t") == std::string::npos) return;
  if (!debug::TraceEnabled(utility::UTF8String(reinterpret_cast<unsigned char const*>(kTraceCategory)),
                           kTraceVolume, false))
    return;
  std::string const message = "<" + std::to_string(platform::CurrentThreadId()) + "> <" +
                              kTraceCategory + "> <" + std::to_string(kTraceVolume) +
                              "> command: " + line + "\r\n";
  debug::Trace(message.c_str());
}

// Debugger output is not shown unless asked for: traces belong in the log.
void DiscardDebugOutput(void*, char const*, std::size_t) {}

// The program's own commands, registered beside the library's.
class Help : public console::Command {
 public:
  using Command::Command;
  void Execute(UTF16String const&, UTF16OutputStream& out) override { console::ListCommands(out); }
};

class Quit : public console::Command {
 public:
  using Command::Command;
  void Execute(UTF16String const&, UTF16OutputStream&) override { gQuit = true; }
};

template <class T>
console::Command* Make(UTF16String const& name, UTF16String const& help) {
  return new T(name, help);
}

void RegisterProgramCommands() {
  console::CommandRegistry::RegisterCommand(
      utility::AsciiToUTF16("help"),
      Text("$$$/vireo-console/Help=help - lists the installed commands."), Make<Help>);
  console::CommandRegistry::RegisterCommand(
      utility::AsciiToUTF16("quit"), Text("$$$/vireo-console/Quit=quit - ends the console."),
      Make<Quit>);
}

void UnregisterProgramCommands() {
  delete console::CommandRegistry::UnregisterCommand(utility::AsciiToUTF16("help"));
  delete console::CommandRegistry::UnregisterCommand(utility::AsciiToUTF16("quit"));
}

// Runs one line; false when it named no command or the command failed.
bool RunLine(std::string const& line, UTF16OutputStream& out) {
  UTF16String const text = utility::UTF8to16(
      utility::UTF8String(reinterpret_cast<unsigned char const*>(line.data()), line.size()));
  try {
    TraceLine(line);
    if (console::ExecuteCommand(text, out)) return true;
  } catch (std::exception const& e) {
    out.flush();
    std::cerr << "error: " << Narrow(FormatException(e)) << std::endl;
    return false;
  }
  std::size_t const begin = line.find_first_not_of(" \t");
  if (begin == std::string::npos) return true;  // a blank line is no error
  std::string const name = line.substr(begin, line.find(' ', begin) - begin);
  std::cerr << "unknown command: " << name << " (type help for the list)" << std::endl;
  return false;
}

void PrintUsage(std::ostream& out) {
  out << "usage: vireo-console [-d] [-c LINE]...\n"
         "  Runs console command lines: each LINE given with -c, in order, or else the lines\n"
         "  of standard input (edited at a prompt when it is a terminal). 'help' lists the\n"
         "  commands, 'quit' ends. Exit status 1 when a line named no command or failed.\n"
         "  -d shows debugger output (traces among it) on standard error.\n"
         "  --version prints the library version.\n";
}

int Run(int argc, char** argv) {
  std::vector<std::string> lines;
  bool debugOutput = false;
  for (int i = 1; i < argc; ++i) {
    std::string const arg = argv[i];
    if (arg == "-d") {
      debugOutput = true;
    } else if (arg == "-c") {
      if (i + 1 == argc) {
        std::cerr << "vireo-console: -c needs a command line\n";
        PrintUsage(std::cerr);
        return 2;
      }
      lines.push_back(argv[++i]);
    } else if (arg.compare(0, 2, "-c") == 0 && arg.size() > 2) {
      lines.push_back(arg.substr(2));
    } else if (arg == "-h" || arg == "--help") {
      PrintUsage(std::cout);
      return 0;
    } else if (arg == "--version") {
      std::cout << "vireo-console " << Narrow(config::GetVersionString()) << std::endl;
      return 0;
    } else {
      std::cerr << "vireo-console: unexpected argument '" << arg << "'\n";
      PrintUsage(std::cerr);
      return 2;
    }
  }

  if (!debugOutput) platform::SetDebugOutputSink(DiscardDebugOutput, nullptr);
  config::SetCompanyName(utility::AsciiToUTF16("vireo"));
  config::SetClientName(utility::AsciiToUTF16("vireo-console"));
  config::SetClientVersion(utility::AsciiToUTF16("2.0.0"));
  config::SetClientInternalVersion(utility::AsciiToUTF16("2.0"));
  PrintingErrorManager errors(std::cerr);
  DefaultTextLocalizer localizer;
  config::ErrorManager::Set(&errors);
  config::Localizer::Set(&localizer);
  std::auto_ptr<xml::DocParserFactory> factory(new xml::MSXMLParserFactory);
  xml::SetParserFactory(factory);

  NarrowOutputBuffer buffer(std::cout);
  UTF16OutputStream out(&buffer);
  console::Initialize();
  RegisterProgramCommands();

  bool allRan = true;
  if (!lines.empty()) {
    for (std::string const& line : lines) {
      allRan = RunLine(line, out) && allRan;
      if (gQuit) break;
    }
  } else {
    platform::LineReader reader;
    if (reader.Interactive())
      std::cout << "vireo-console " << Narrow(config::GetVersionString())
                << ". Type help for the commands, quit to leave." << std::endl;
    std::string line;
    while (!gQuit && reader.ReadLine("vireo> ", line)) allRan = RunLine(line, out) && allRan;
  }
  out.flush();

  // Each step of the shutdown runs even when one before it failed (a settings file that
  // cannot be written, say), so that the log still gets its footer.
  auto safely = [&allRan](void (*step)()) {
    try {
      step();
    } catch (std::exception const& e) {
      std::cerr << "error: " << Narrow(FormatException(e)) << std::endl;
      allRan = false;
    }
  };
  safely(UnregisterProgramCommands);
  safely(console::Terminate);
  safely(debug::ShutdownTraceManager);
  safely(console::ConsoleLogFile::Terminate);
  config::Localizer::Set(nullptr);
  config::ErrorManager::Set(nullptr);
  return allRan ? 0 : 1;
}

}  // namespace
}  // namespace tools
}  // namespace vireo

int main(int argc, char** argv) {
  try {
    return vireo::tools::Run(argc, argv);
  } catch (std::exception const& e) {
    std::cerr << "vireo-console: " << e.what() << std::endl;
    return 3;
  }
}
