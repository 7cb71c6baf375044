// The line reader: plain lines from a pipe, and the line editor on a pseudo-terminal.
// A process of its own: the tests put pipes and the terminal in place of standard input and
// output. Results are checked after the descriptors are restored, so that failures show.
#include "vireo/platform/LineReader.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/platform/FdRedirect.h"

namespace vireo {
namespace platform {
namespace {

// The reader's answers: each line read, and "<end>" once it reports the end of the input.
std::vector<std::string> ReadAll(LineReader& reader, int lines) {
  std::vector<std::string> read;
  std::string line;
  for (int i = 0; i < lines; ++i) {
    if (!reader.ReadLine("> ", line)) {
      read.push_back("<end>");
      break;
    }
    read.push_back(line);
  }
  return read;
}

TEST(LineReader, PipesGiveLinesWithoutTheirEnds) {
  struct Case {
    char const* input;
    std::vector<std::string> lines;
  } const cases[] = {
      {"", {"<end>"}},
      {"one\n", {"one", "<end>"}},
      {"a\r\nb\n\n  c  \n", {"a", "b", "", "  c  ", "<end>"}},
      {"last without end", {"last without end", "<end>"}},
      {"x\ny", {"x", "y", "<end>"}},
      {"\r\n", {"", "<end>"}},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.input);
    int fds[2];
    ASSERT_EQ(0, ::pipe(fds));
    std::string const input = c.input;
    ASSERT_EQ(static_cast<ssize_t>(input.size()), ::write(fds[1], input.data(), input.size()));
    ::close(fds[1]);
    std::vector<std::string> lines;
    bool interactive;
    {
      testing::FdRedirect in(STDIN_FILENO, fds[0]);
      LineReader reader;
      interactive = reader.Interactive();
      lines = ReadAll(reader, 10);
      std::string line;
      if (reader.ReadLine("> ", line)) lines.push_back("read after the end");
    }
    ::close(fds[0]);
    EXPECT_FALSE(interactive);
    EXPECT_EQ(c.lines, lines);
  }
}

TEST(LineReader, LongPipedLinesArriveWhole) {
  std::string const long_line(20000, 'x');
  int fds[2];
  ASSERT_EQ(0, ::pipe(fds));
  pid_t const writer = ::fork();
  if (writer == 0) {
    ::close(fds[0]);
    std::string const text = long_line + "\nend\n";
    ssize_t done = 0;
    while (done < static_cast<ssize_t>(text.size())) {
      ssize_t const n = ::write(fds[1], text.data() + done, text.size() - done);
      if (n <= 0) ::_exit(1);
      done += n;
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::vector<std::string> lines;
  {
    testing::FdRedirect in(STDIN_FILENO, fds[0]);
    LineReader reader;
    lines = ReadAll(reader, 5);
  }
  ::close(fds[0]);
  EXPECT_EQ((std::vector<std::string>{long_line, "end", "<end>"}), lines);
}

// A pseudo-terminal in raw mode as standard input and output for the scope: what is typed
// arrives byte for byte (no line discipline), so keys can be queued before the reader runs.
class Terminal {
 public:
  Terminal() {
    if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) return;
    termios raw;
    ::tcgetattr(slave_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_, TCSANOW, &raw);
    ::tcgetattr(slave_, &before_);
    input_ = new testing::FdRedirect(STDIN_FILENO, slave_);
    output_ = new testing::FdRedirect(STDOUT_FILENO, slave_);
  }
  ~Terminal() {
    delete output_;
    delete input_;
    if (master_ >= 0) {
      ::close(slave_);
      ::close(master_);
    }
  }
  bool Ok() const { return master_ >= 0; }
  void SetWidth(unsigned short columns) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = columns;
    ::ioctl(slave_, TIOCSWINSZ, &size);
  }
  void Type(std::string const& keys) { typed_ = ::write(master_, keys.data(), keys.size()); }
  // Takes what the reader showed, so that the terminal's buffer never fills.
  std::string Screen() {
    std::string screen;
    char buffer[1024];
    pollfd p{master_, POLLIN, 0};
    while (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
      ssize_t const n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      screen.append(buffer, static_cast<std::size_t>(n));
    }
    return screen;
  }
  // Whether the terminal is back in the mode it had before the reader ran.
  bool ModeRestored() const {
    termios now;
    ::tcgetattr(slave_, &now);
    return now.c_lflag == before_.c_lflag && now.c_iflag == before_.c_iflag &&
           now.c_oflag == before_.c_oflag;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  ssize_t typed_ = 0;
  termios before_{};
  testing::FdRedirect* input_ = nullptr;
  testing::FdRedirect* output_ = nullptr;
};

TEST(LineReader, TerminalKeysEditTheLine) {
  struct Case {
    char const* name;
    std::string keys;
    std::string line;
  };
  std::vector<Case> const cases = {
      {"plain", "abc\r", "abc"},
      {"line feed ends too", "abc\n", "abc"},
      {"backspace", "abd\x7f" "c\r", "abc"},
      {"ctrl-h", "abd\x08" "c\r", "abc"},
      {"home then insert", "bc\x01" "a\r", "abc"},
      {"end after home", "ab\x01\x05" "c\r", "abc"},
      {"arrow left", "ac\x1b[D" "b\r", "abc"},
      {"arrow right", "ac\x1b[D\x1b[C" "d\r", "acd"},
      {"ctrl-b ctrl-f", "ac\x02\x02\x06" "b\r", "abc"},
      {"home and end keys", "b\x1b[H" "a\x1b[F" "c\r", "abc"},
      {"home and end as numbers", "b\x1b[1~" "a\x1b[4~" "c\r", "abc"},
      {"delete key", "xabc\x01\x1b[3~\r", "abc"},
      {"delete at end does nothing", "abc\x1b[3~\r", "abc"},
      {"ctrl-d deletes under cursor", "xabc\x01\x04\r", "abc"},
      {"cut to end", "abcdef\x01\x1b[C\x1b[C\x0b\r", "ab"},
      {"cut to start", "junk\x15" "abc\r", "abc"},
      {"cut word", "set  value\x17" "other\r", "set  other"},
      {"backspace at start", "\x7f\x7f" "abc\r", "abc"},
      {"left at start", "\x1b[D\x1b[D" "abc\r", "abc"},
      {"utf-8 moves by character", "a\xc3\xa9\x1b[D\x7f\r", "\xc3\xa9"},
      {"utf-8 erased whole", "a\xe2\x82\xac\x7f" "b\r", "ab"},
      {"ctrl-c drops the line", "junk\x03" "abc\r", "abc"},
      {"tab and unknown escapes ignored", "a\tb\x1b[Z\x1bOQ" "c\r", "abc"},
      {"empty line", "\r", ""},
  };
  Terminal terminal;
  if (!terminal.Ok()) GTEST_SKIP() << "no pseudo-terminal available";
  std::vector<std::string> lines;
  std::vector<std::string> screens;
  bool interactive;
  {
    LineReader reader;
    interactive = reader.Interactive();
    for (Case const& c : cases) {
      terminal.Type(c.keys);
      std::string line = "<end>";
      if (!reader.ReadLine("vireo> ", line)) line = "<end>";
      lines.push_back(line);
      screens.push_back(terminal.Screen());
    }
  }
  bool const restored = terminal.ModeRestored();
  ASSERT_TRUE(interactive);
  EXPECT_TRUE(restored);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(cases[i].line, lines[i]);
    EXPECT_EQ(0u, screens[i].find("\rvireo> ")) << screens[i];
  }
}

TEST(LineReader, HistoryAndEndOfInput) {
  Terminal terminal;
  if (!terminal.Ok()) GTEST_SKIP() << "no pseudo-terminal available";
  std::vector<std::string> lines;
  std::vector<std::string> history;
  {
    LineReader reader;
    // Up and down walk the history; the unfinished line comes back below its newest entry.
    for (std::string const& keys :
         {std::string("one\r"), std::string("two\r"), std::string("two\r"), std::string("\r"),
          std::string("\x1b[A\x1b[A\r"), std::string("dr\x1b[A\x1b[B" "aft\r"),
          std::string("\x10\x10\x10\x10\x0e\r"), std::string("\x1b[B\x1b[B" "x\r"),
          std::string("\x04")}) {
      terminal.Type(keys);
      std::string line;
      lines.push_back(reader.ReadLine("> ", line) ? line : "<end>");
      terminal.Screen();
    }
    history = reader.History();
  }
  std::vector<std::string> const expected = {"one", "two", "two", "",   "one",
                                             "draft", "two", "x",  "<end>"};
  EXPECT_EQ(expected, lines);
  // Empty lines and repeats of the newest entry are not kept.
  EXPECT_EQ((std::vector<std::string>{"one", "two", "one", "draft", "two", "x"}), history);
}

TEST(LineReader, LongLinesScrollSidewaysInsteadOfWrapping) {
  Terminal terminal;
  if (!terminal.Ok()) GTEST_SKIP() << "no pseudo-terminal available";
  terminal.SetWidth(20);  // 17 columns for the text after "> ", one kept for the cursor
  std::string line;
  std::string screen;
  {
    LineReader reader;
    terminal.Type("0123456789abcdefghijklmnopqrstuvwxyz\x01\x1b[C\r");
    if (!reader.ReadLine("> ", line)) line = "<end>";
    screen = terminal.Screen();
  }
  EXPECT_EQ("0123456789abcdefghijklmnopqrstuvwxyz", line);
  // At the end of the line its last 17 characters show, the cursor after them...
  EXPECT_NE(std::string::npos, screen.find("\r> jklmnopqrstuvwxyz\x1b[K\r\x1b[19C")) << screen;
  // ...and back at its start, its first ones.
  EXPECT_NE(std::string::npos, screen.find("\r> 0123456789abcdefg\x1b[K\r\x1b[2C")) << screen;
  EXPECT_NE(std::string::npos, screen.find("\r> 0123456789abcdefg\x1b[K\r\x1b[3C")) << screen;
  // No refresh ever writes more than the terminal's width.
  std::size_t at = 0;
  while ((at = screen.find("\r> ", at)) != std::string::npos) {
    std::size_t const end = screen.find("\x1b[K", at);
    ASSERT_NE(std::string::npos, end);
    EXPECT_LE(end - at - 1, 19u) << screen.substr(at, end - at);
    at = end;
  }
}

}  // namespace
}  // namespace platform
}  // namespace vireo
