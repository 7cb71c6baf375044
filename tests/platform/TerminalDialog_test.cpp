// The terminal dialog presenter on a pseudo-terminal: what it shows and how it reads answers.
// A process of its own: the tests put the pseudo-terminal in place of standard input and error.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <stdio_ext.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/platform/FdRedirect.h"
#include "vireo/platform/Dialog.h"

namespace vireo {
namespace platform {
namespace {

// A pseudo-terminal standing in as standard input and standard error for the scope. What is
// typed must be queued before Present is called, since Present blocks this thread.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) master_ = slave_ = -1;
    ResetStdin();
    if (master_ < 0) return;
    input_ = new testing::FdRedirect(STDIN_FILENO, slave_);
    error_ = new testing::FdRedirect(STDERR_FILENO, slave_);
  }
  ~PseudoTerminal() {
    delete error_;
    delete input_;
    ResetStdin();
    if (master_ >= 0) {
      ::close(slave_);
      ::close(master_);
    }
  }
  bool Ok() const { return master_ >= 0; }

  void Type(std::string const& keys) {
    ASSERT_EQ(static_cast<ssize_t>(keys.size()), ::write(master_, keys.data(), keys.size()));
  }

  // Everything the terminal has shown so far (output and echoed input).
  std::string Screen() {
    std::string screen;
    char buffer[1024];
    pollfd p{master_, POLLIN, 0};
    while (::poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
      ssize_t const n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      screen.append(buffer, static_cast<std::size_t>(n));
    }
    return screen;
  }

 private:
  // Forget what stdin read or saw of a previous terminal (end of input is sticky).
  static void ResetStdin() {
    __fpurge(stdin);
    std::clearerr(stdin);
  }

  int master_ = -1;
  int slave_ = -1;
  testing::FdRedirect* input_ = nullptr;
  testing::FdRedirect* error_ = nullptr;
};

std::size_t Count(std::string const& text, std::string const& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class TerminalDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!terminal.Ok()) GTEST_SKIP() << "no pseudo-terminal available";
    request.title = "Heron Debug Event";
    request.texts = {"Debug Assert failed!", "Expression: p != 0"};
    request.buttons = {
        DialogButton{14205, "Copy", 0, false, [this] { ++copies; }},
        DialogButton{14200, "Debug", 0, false, nullptr},
        DialogButton{14201, "Ignore Once", 3, true, nullptr},
        DialogButton{14202, "Ignore Always", 4, false, nullptr},
    };
  }

  DialogAnswer Ask(std::string const& keys) {
    terminal.Type(keys);
    return TerminalDialogPresenter().Present(request);
  }

  PseudoTerminal terminal;
  DialogRequest request;
  int copies = 0;
};

TEST_F(TerminalDialogTest, ShowsTitleTextsAndNumberedButtons) {
  DialogAnswer const answer = Ask("2\n");
  EXPECT_EQ(0, answer.result);
  EXPECT_FALSE(answer.ctrlHeld);
  std::string const screen = terminal.Screen();
  EXPECT_NE(std::string::npos, screen.find("Heron Debug Event")) << screen;
  EXPECT_NE(std::string::npos, screen.find("Debug Assert failed!")) << screen;
  EXPECT_NE(std::string::npos, screen.find("Expression: p != 0")) << screen;
  EXPECT_NE(std::string::npos, screen.find("[1] Copy")) << screen;
  EXPECT_NE(std::string::npos, screen.find("[3] Ignore Once (default)")) << screen;
  EXPECT_NE(std::string::npos, screen.find("[4] Ignore Always")) << screen;
  EXPECT_EQ(0u, Count(screen, "[1] Copy (default)"));
}

TEST_F(TerminalDialogTest, NumbersPickButtonsFromOne) {
  EXPECT_EQ(4, Ask("4\n").result);
  EXPECT_EQ(3, Ask("  3 \n").result);
}

TEST_F(TerminalDialogTest, EmptyAnswerPressesTheDefault) {
  EXPECT_EQ(3, Ask("\n").result);
  terminal.Screen();
  request.buttons[2].isDefault = false;  // no default among several: ask again
  EXPECT_EQ(4, Ask("\n4\n").result);
  EXPECT_EQ(2u, Count(terminal.Screen(), "Choose a button"));
}

TEST_F(TerminalDialogTest, LabelPrefixesPickButtonsIgnoringCase) {
  EXPECT_EQ(0, Ask("deb\n").result);
  EXPECT_EQ(4, Ask("IGNORE A\n").result);
  // "ign" names two buttons: asked again.
  terminal.Screen();
  EXPECT_EQ(3, Ask("ign\nIgnore O\n").result);
  EXPECT_EQ(2u, Count(terminal.Screen(), "Choose a button"));
}

TEST_F(TerminalDialogTest, UnknownAnswersAskAgain) {
  EXPECT_EQ(4, Ask("0\n5\nzzz\n-1\n4\n").result);
  EXPECT_EQ(5u, Count(terminal.Screen(), "Choose a button"));
}

TEST_F(TerminalDialogTest, CaretHoldsCtrl) {
  DialogAnswer answer = Ask("2^\n");
  EXPECT_EQ(0, answer.result);
  EXPECT_TRUE(answer.ctrlHeld);
  answer = Ask("ignore always ^\n");
  EXPECT_EQ(4, answer.result);
  EXPECT_TRUE(answer.ctrlHeld);
  answer = Ask("^\n");  // the default, with Ctrl
  EXPECT_EQ(3, answer.result);
  EXPECT_TRUE(answer.ctrlHeld);
}

TEST_F(TerminalDialogTest, ActionButtonRunsAndKeepsTheDialogOpen) {
  EXPECT_EQ(4, Ask("copy\n1\n4\n").result);
  EXPECT_EQ(2, copies);
  EXPECT_EQ(3u, Count(terminal.Screen(), "Choose a button"));
}

TEST_F(TerminalDialogTest, EndOfInputMeansNoDialog) {
  EXPECT_EQ(kDialogCannotShow, Ask("\x04").result);
  // The end of one answer does not end the terminal for later dialogs.
  EXPECT_EQ(4, Ask("4\n").result);
}

TEST_F(TerminalDialogTest, LastLineWithoutNewlineStillCounts) {
  // Ctrl-D after text sends it without a newline; a second one ends the input.
  EXPECT_EQ(4, Ask("4\x04\x04").result);
}

TEST_F(TerminalDialogTest, NeedsTerminalOnStandardErrorToo) {
  testing::StderrCapture notATerminal;
  EXPECT_EQ(kDialogCannotShow, Ask("4\n").result);
}

TEST_F(TerminalDialogTest, RequestWithoutButtonsCannotBeShown) {
  request.buttons.clear();
  EXPECT_EQ(kDialogCannotShow, Ask("1\n").result);
}

}  // namespace
}  // namespace platform
}  // namespace vireo
