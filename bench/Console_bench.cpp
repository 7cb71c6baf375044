// The console: a line run through the interpreter (trim, cut, case-insensitive lookup,
// dispatch) against a plain std::map of std::string to std::function doing the same, and a
// tick-stamped log write (one write to the system per message, so that nothing is lost when
// the process dies) against stdio with snprintf and fflush per message. The log lives in a
// temporary directory that is removed at the end.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "vireo/config/ClientIdentity.h"
#include "vireo/console/CommandRegistry.h"
#include "vireo/console/ConsoleLogFile.h"
#include "vireo/platform/Time.h"

namespace {

using vireo::utility::AsciiToUTF16;
using vireo::utility::UTF16String;
using vireo::utility::UTF8String;

class Noop : public vireo::console::Command {
 public:
  using Command::Command;
  void Execute(UTF16String const& arguments, vireo::UTF16OutputStream&) override {
    benchmark::DoNotOptimize(arguments.data());
  }
};

vireo::console::Command* MakeNoop(UTF16String const& name, UTF16String const& help) {
  return new Noop(name, help);
}

void BM_ExecuteCommand(benchmark::State& state) {
  for (int i = 0; i < 12; ++i) {  // about as many as the built-in commands
    vireo::console::CommandRegistry::RegisterCommand(
        AsciiToUTF16(("debug.command" + std::to_string(i)).c_str()), AsciiToUTF16("help"),
        MakeNoop);
  }
  vireo::UTF16StringBuffer buffer;
  vireo::UTF16OutputStream out(&buffer);
  UTF16String const line = AsciiToUTF16("  Debug.Command7   assert.enabled  ");
  for (auto _ : state) benchmark::DoNotOptimize(vireo::console::ExecuteCommand(line, out));
}
BENCHMARK(BM_ExecuteCommand);

// The peer: the same steps over standard strings.
void BM_PlainMapDispatch(benchmark::State& state) {
  std::map<std::string, std::function<void(std::string const&)>> commands;
  for (int i = 0; i < 12; ++i)
    commands["debug.command" + std::to_string(i)] = [](std::string const& a) {
      benchmark::DoNotOptimize(a.data());
    };
  std::string const line = "  Debug.Command7   assert.enabled  ";
  auto trim = [](std::string const& s) {
    std::size_t const b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
  };
  for (auto _ : state) {
    std::string const t = trim(line);
    std::size_t const space = t.find(' ');
    std::string name = trim(t.substr(0, space));
    std::string const args = space == std::string::npos ? std::string() : trim(t.substr(space + 1));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto const found = commands.find(name);
    bool const ran = found != commands.end();
    if (ran) found->second(args);
    benchmark::DoNotOptimize(ran);
  }
}
BENCHMARK(BM_PlainMapDispatch);

UTF8String const kMessage = [] {
  std::string const text = "<4711> <WREN.Allocator> <1> pool 12 of 71: 4096 blocks in use\r\n";
  return UTF8String(text.begin(), text.end());
}();

void BM_WriteToLog(benchmark::State& state) {
  vireo::console::ConsoleLogFile* const log = vireo::console::ConsoleLogFile::GetInstance();
  for (auto _ : state) log->WriteToLog(kMessage, true);
  state.SetBytesProcessed(state.iterations() * static_cast<long long>(kMessage.size()));
}
BENCHMARK(BM_WriteToLog);

// The peer: stdio, the stamp made with snprintf, flushed after each message.
void BM_StdioLog(benchmark::State& state) {
  std::string const path = std::string(getenv("XDG_CONFIG_HOME")) + "/stdio log.txt";
  std::FILE* const file = std::fopen(path.c_str(), "wb");
  std::uint32_t const start = vireo::platform::TickCount();
  for (auto _ : state) {
    char stamp[32];
    int const n = std::snprintf(stamp, sizeof stamp, "Ticks = %u      ",
                                static_cast<unsigned>(vireo::platform::TickCount() - start));
    std::fwrite(stamp, 1, static_cast<std::size_t>(n), file);
    std::fwrite(kMessage.data(), 1, kMessage.size(), file);
    std::fflush(file);
  }
  std::fclose(file);
  state.SetBytesProcessed(state.iterations() * static_cast<long long>(kMessage.size()));
}
BENCHMARK(BM_StdioLog);

}  // namespace

int main(int argc, char** argv) {
  // A home of its own: the log and the preferences directory go there, never the user's.
  std::string root = std::filesystem::temp_directory_path().string() + "/vireo-bench-XXXXXX";
  if (!mkdtemp(root.data())) return 1;
  setenv("HOME", root.c_str(), 1);
  setenv("XDG_CONFIG_HOME", root.c_str(), 1);
  vireo::config::SetCompanyName(AsciiToUTF16("bench"));
  vireo::config::SetClientName(AsciiToUTF16("console"));
  vireo::config::SetClientInternalVersion(AsciiToUTF16("1"));
  std::filesystem::create_directories(root + "/bench/console/1");
  std::ofstream(root + "/bench/console/1/console Log.txt");  // switches the log on

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  vireo::console::ConsoleLogFile::Terminate();
  std::filesystem::remove_all(root);
  return 0;
}
