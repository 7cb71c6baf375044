// The log file: rotation at start-up, header and footer, tick-stamped writes, the default
// name, hand-over by copying, and writers on several threads. The log is a process-wide
// singleton in the preferences directory, so these tests run in a process of their own with
// HOME and XDG_CONFIG_HOME in a temporary directory.
#include "vireo/console/ConsoleLogFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestEnvironment.h"
#include "vireo/config/ClientIdentity.h"
#include "vireo/platform/Time.h"

namespace vireo {
namespace console {
namespace {

using testing::IsolatedEnvironment;
using utility::AsciiToUTF16;
using utility::UTF16String;
using utility::UTF8String;

IsolatedEnvironment* gEnvironment = nullptr;

class LogEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    gEnvironment = new IsolatedEnvironment;
    config::SetCompanyName(AsciiToUTF16("Heron Works"));
    config::SetClientName(AsciiToUTF16("Clipper"));
    config::SetClientInternalVersion(AsciiToUTF16("7.1"));
  }
  void TearDown() override { delete gEnvironment; }
};
::testing::Environment* const gLogEnvironment =
    ::testing::AddGlobalTestEnvironment(new LogEnvironment);

std::string PrefDir() { return gEnvironment->ConfigHome() + "/Heron Works/Clipper/7.1"; }

std::string Read(std::string const& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(std::string const& path, std::string const& content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

UTF8String U8(std::string const& text) { return UTF8String(text.begin(), text.end()); }

std::string Posix(UTF16String const& stored) {
  UTF8String const bytes = utility::UTF16to8(stored);
  std::string path(bytes.begin(), bytes.end());
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

// The header and footer as the log writes them, around the date and time of the moment.
std::regex const kHeader(
    "Log file created: ([A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\\d \\d\\d:\\d\\d:\\d\\d \\d{4})\r\n"
    "(-+)\r\n");
std::regex const kFooter(
    "(-+)\r\nLog file closed: ([A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\\d \\d\\d:\\d\\d:\\d\\d "
    "\\d{4})\r\n\r\n");

// Checks that `log` is header + body + footer and gives the body.
std::string Body(std::string const& log) {
  std::smatch header;
  EXPECT_TRUE(std::regex_search(log, header, kHeader, std::regex_constants::match_continuous))
      << log;
  if (header.empty()) return std::string();
  // The rule is as long as the first line, its CR LF included.
  EXPECT_EQ(std::string("Log file created: ").size() + header[1].length() + 2, header[2].length());
  std::string const rest = header.suffix();
  // The footer: a rule, CR LF, then the closing text.
  std::size_t const closingAt = rest.rfind("Log file closed: ");
  EXPECT_TRUE(closingAt != std::string::npos && closingAt >= 3) << log;
  if (closingAt == std::string::npos || closingAt < 3) return std::string();
  std::size_t const ruleEnd = rest.find_last_not_of('-', closingAt - 3);
  std::size_t const footerStart = ruleEnd == std::string::npos ? 0 : ruleEnd + 1;
  std::string const footer = rest.substr(footerStart);
  std::smatch parts;
  EXPECT_TRUE(std::regex_match(footer, parts, kFooter)) << footer;
  if (parts.empty()) return std::string();
  // The footer's rule is as long as the closing text, both line ends included.
  EXPECT_EQ(std::string("Log file closed: ").size() + parts[2].length() + 4, parts[1].length());
  return rest.substr(0, footerStart);
}

class LogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(PrefDir());
    ConsoleLogFile::SetDefaultLogFileName(UTF16String());
  }
  void TearDown() override { ConsoleLogFile::Terminate(); }
  std::string Current() const { return PrefDir() + "/Clipper Log.txt"; }
  std::string Last() const { return PrefDir() + "/Clipper Log-last.txt"; }
};

TEST_F(LogFile, PathsAreInThePreferencesDirectoryNamedAfterTheClient) {
  ConsoleLogFile* const log = ConsoleLogFile::GetInstance();
  UTF16String current, last;
  EXPECT_TRUE(log->GetLogFilePath(current, false));
  EXPECT_TRUE(log->GetLogFilePath(last, true));
  EXPECT_EQ(Current(), Posix(current));
  EXPECT_EQ(Last(), Posix(last));

  ConsoleLogFile::SetDefaultLogFileName(AsciiToUTF16("Session"));
  log->GetLogFilePath(current, false);
  EXPECT_EQ(PrefDir() + "/Session Log.txt", Posix(current));
  ConsoleLogFile::SetDefaultLogFileName(UTF16String());
  log->GetLogFilePath(last, true);
  EXPECT_EQ(Last(), Posix(last));
}

TEST_F(LogFile, WithoutACurrentLogNothingIsWritten) {
  ConsoleLogFile::GetInstance()->WriteToLog(U8("dropped\n"), true);
  ConsoleLogFile::Terminate();
  EXPECT_FALSE(std::filesystem::exists(Current()));
  EXPECT_FALSE(std::filesystem::exists(Last()));
}

TEST_F(LogFile, StartKeepsThePreviousLogAndFramesTheNewOne) {
  Write(Current(), "previous run\r\n");
  Write(Last(), "the run before\r\n");
  std::uint32_t const before = platform::TickCount();
  ConsoleLogFile* const log = ConsoleLogFile::GetInstance();
  EXPECT_EQ("previous run\r\n", Read(Last()));
  EXPECT_EQ(0u, Read(Current()).find("Log file created: "));

  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  log->WriteToLog(U8("abc"), true);
  std::uint32_t const elapsedBound = platform::TickCount() - before;
  log->WriteToLog(U8(""), true);  // nothing, not even a stamp
  log->WriteToLog(U8("\nplain line\n"), false);
  ConsoleLogFile::Terminate();

  std::string const body = Body(Read(Current()));
  std::smatch stamp;
  ASSERT_TRUE(std::regex_match(body, stamp, std::regex("Ticks = (\\d+)      abc\nplain line\n")))
      << body;
  unsigned long const ticks = std::stoul(stamp[1]);
  EXPECT_GE(ticks, 20u);
  EXPECT_LE(ticks, elapsedBound);
}

TEST_F(LogFile, ExplicitLogsCloseTheOpenOne) {
  Write(Current(), "");
  ConsoleLogFile* const log = ConsoleLogFile::GetInstance();
  log->WriteToLog(U8("first\n"), false);
  std::string const other = PrefDir() + "/other log.txt";
  Write(other, "replaced content");
  EXPECT_TRUE(log->OpenLogFile(U8(other)));
  log->WriteToLog(U8("second\n"), false);
  log->CloseLogFile();
  log->WriteToLog(U8("after closing\n"), false);
  log->CloseLogFile();  // nothing more to close

  EXPECT_EQ("first\n", Body(Read(Current())));
  EXPECT_EQ("second\n", Body(Read(other)));
}

TEST_F(LogFile, ACopyTakesTheLogOver) {
  Write(Current(), "");
  ConsoleLogFile* const log = ConsoleLogFile::GetInstance();
  {
    ConsoleLogFile copy(*log);
    copy.WriteToLog(U8("through the copy\n"), false);
    log->WriteToLog(U8("through the source\n"), false);
  }  // the copy closes the log
  log->WriteToLog(U8("after the copy\n"), false);
  EXPECT_EQ("through the copy\n", Body(Read(Current())));
}

TEST_F(LogFile, WritesFromSeveralThreadsStayWhole) {
  Write(Current(), "");
  ConsoleLogFile* const log = ConsoleLogFile::GetInstance();
  int const kThreads = 4;
  int const kLines = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([log, t] {
      std::string const line = "thread " + std::to_string(t) + " " + std::string(100, 'a' + t) + "\n";
      for (int i = 0; i < kLines; ++i) log->WriteToLog(U8(line), true);
    });
  }
  for (std::thread& thread : threads) thread.join();
  ConsoleLogFile::Terminate();

  std::string const body = Body(Read(Current()));
  std::regex const line("Ticks = \\d+      thread (\\d) ([a-d])\\2{99}\n");
  int counts[kThreads] = {};
  std::size_t at = 0;
  while (at < body.size()) {
    std::size_t const end = body.find('\n', at);
    ASSERT_NE(std::string::npos, end);
    std::string const text = body.substr(at, end + 1 - at);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, line)) << text;
    int const t = std::stoi(m[1]);
    EXPECT_EQ(static_cast<char>('a' + t), m[2].str()[0]);
    ++counts[t];
    at = end + 1;
  }
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(kLines, counts[t]);
}

}  // namespace
}  // namespace console
}  // namespace vireo
