// The command registry and the line interpreter. The registry is process-wide, so these tests
// run in a process of their own, and each test removes the commands it registered.
#include "vireo/console/CommandRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace vireo {
namespace console {
namespace {

using utility::UTF16String;

UTF16String U16(char const* text) { return utility::AsciiToUTF16(text); }
std::string U8(UTF16String const& text) {
  utility::UTF8String const bytes = utility::UTF16to8(text);
  return std::string(bytes.begin(), bytes.end());
}

// What the recording commands saw: one line per factory call, execution and destruction.
std::vector<std::string> gEvents;

class RecordingCommand : public Command {
 public:
  RecordingCommand(UTF16String const& name, UTF16String const& help, char const* tag)
      : Command(name, help), tag_(tag) {}
  ~RecordingCommand() override { gEvents.push_back(std::string("delete ") + tag_); }
  void Execute(UTF16String const& arguments, UTF16OutputStream& out) override {
    gEvents.push_back(std::string("run ") + tag_ + " " + U8(GetName()) + " [" + U8(arguments) +
                      "]");
    if (arguments == U16("throw")) throw std::runtime_error("asked to throw");
    out << GetName() << u"\r\n";
  }

 private:
  char const* tag_;
};

Command* MakeFirst(UTF16String const& name, UTF16String const& help) {
  gEvents.push_back("make first " + U8(name) + " / " + U8(help));
  return new RecordingCommand(name, help, "first");
}
Command* MakeSecond(UTF16String const& name, UTF16String const& help) {
  gEvents.push_back("make second " + U8(name));
  return new RecordingCommand(name, help, "second");
}
// Gives nothing while gRefuse is set; then a command, so that the test can remove it.
bool gRefuse = false;
Command* MakeWhenAllowed(UTF16String const& name, UTF16String const& help) {
  if (gRefuse) return nullptr;
  return new RecordingCommand(name, help, "allowed");
}

// Captures what a command writes.
struct Output {
  UTF16StringBuffer buffer;
  UTF16OutputStream stream{&buffer};
  std::string Text() const { return U8(buffer.str()); }
};

class Registry : public ::testing::Test {
 protected:
  void Register(char const* name, char const* help, CommandFactory factory = MakeFirst) {
    CommandRegistry::RegisterCommand(U16(name), U16(help), factory);
    names_.push_back(name);
  }
  // A registered command can only be removed once it has run.
  void TearDown() override {
    for (std::string const& name : names_) {
      Output sink;
      ExecuteCommand(U16(name.c_str()), sink.stream);
      delete CommandRegistry::UnregisterCommand(U16(name.c_str()));
    }
    gEvents.clear();
  }
  std::vector<std::string> names_;
};

TEST_F(Registry, LinesAreSplitIntoNameAndTrimmedArguments) {
  Register("debug.get", "get help");
  Register("echo", "echo help");
  struct Case {
    char const* line;
    bool ran;
    char const* event;  // the run recorded, when one ran
  } const cases[] = {
      {"  debug.get   assert.enabled  ", true, "run first debug.get [assert.enabled]"},
      {"DEBUG.GET x", true, "run first debug.get [x]"},
      {"echo", true, "run first echo []"},
      {"echo ", true, "run first echo []"},
      {"\t echo \t a  b \t", true, "run first echo [a  b]"},
      {"echo = x = y", true, "run first echo [= x = y]"},
      {"", false, nullptr},
      {"  \t  ", false, nullptr},
      {"ech", false, nullptr},
      {"echo.more", false, nullptr},
      {"echo\targ", false, nullptr},  // only a space ends the name
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(std::string("line '") + c.line + "'");
    gEvents.clear();
    Output out;
    EXPECT_EQ(c.ran, ExecuteCommand(U16(c.line), out.stream));
    std::vector<std::string> runs;
    for (std::string const& e : gEvents)
      if (e.rfind("run ", 0) == 0) runs.push_back(e);
    if (c.ran) {
      EXPECT_EQ(std::vector<std::string>{c.event}, runs);
    } else {
      EXPECT_TRUE(runs.empty());
      EXPECT_EQ("", out.Text());
    }
  }
}

TEST_F(Registry, CommandIsMadeOnceWithItsRegisteredNameAndHelp) {
  Register("Made.Once", "made.once - help");
  Output out;
  EXPECT_TRUE(ExecuteCommand(U16("made.once 1"), out.stream));
  EXPECT_TRUE(ExecuteCommand(U16("MADE.ONCE 2"), out.stream));
  std::vector<std::string> const expected = {
      "make first Made.Once / made.once - help",
      "run first Made.Once [1]",
      "run first Made.Once [2]",
  };
  EXPECT_EQ(expected, gEvents);
  EXPECT_EQ("Made.Once\r\nMade.Once\r\n", out.Text());
}

TEST_F(Registry, UnregisteringHandsOverOnlyACommandThatRan) {
  Register("idle", "idle - never ran");
  EXPECT_EQ(nullptr, CommandRegistry::UnregisterCommand(U16("idle")));
  EXPECT_EQ(nullptr, CommandRegistry::UnregisterCommand(U16("not.registered")));
  Output list;
  ListCommands(list.stream);
  EXPECT_NE(std::string::npos, list.Text().find("idle - never ran"));

  Output out;
  ASSERT_TRUE(ExecuteCommand(U16("idle"), out.stream));
  Command* const instance = CommandRegistry::UnregisterCommand(U16("IDLE"));
  ASSERT_NE(nullptr, instance);
  EXPECT_EQ(U16("idle"), instance->GetName());
  EXPECT_EQ(U16("idle - never ran"), instance->GetHelp());
  EXPECT_FALSE(ExecuteCommand(U16("idle"), out.stream));
  gEvents.clear();
  delete instance;  // the caller owns it now
  EXPECT_EQ(std::vector<std::string>{"delete first"}, gEvents);
  names_.clear();
}

TEST_F(Registry, ListShowsHelpTextsInCaseInsensitiveOrder) {
  Register("beta", "beta help");
  Register("Alpha.Long", "alpha.long help");
  Register("alpha", "alpha help");
  Register("ZED", "zed help");
  Register("a_under", "a_under help");
  Output out;
  ListCommands(out.stream);
  EXPECT_EQ(
      "Currently installed commands.\r\n"
      "-----------------------------\r\n"
      "a_under help\r\n"
      "alpha help\r\n"
      "alpha.long help\r\n"
      "beta help\r\n"
      "zed help\r\n"
      "\r\n",
      out.Text());
}

TEST_F(Registry, RegisteringANameAgainReplacesTheCommand) {
  Register("twice", "first help");
  Output out;
  ASSERT_TRUE(ExecuteCommand(U16("twice"), out.stream));
  gEvents.clear();
  Register("TWICE", "second help", MakeSecond);
  std::vector<std::string> expected = {"delete first"};
  EXPECT_EQ(expected, gEvents);
  ASSERT_TRUE(ExecuteCommand(U16("twice x"), out.stream));
  expected = {"delete first", "make second TWICE", "run second TWICE [x]"};
  EXPECT_EQ(expected, gEvents);

  Output list;
  ListCommands(list.stream);
  EXPECT_EQ(std::string::npos, list.Text().find("first help"));
  EXPECT_NE(std::string::npos, list.Text().find("second help"));
}

TEST_F(Registry, FactoriesThatGiveNothingRunNothing) {
  CommandRegistry::RegisterCommand(U16("no.factory"), U16("no.factory help"), nullptr);
  gRefuse = true;
  Register("empty.factory", "empty.factory help", MakeWhenAllowed);
  Output out;
  EXPECT_FALSE(ExecuteCommand(U16("no.factory"), out.stream));
  EXPECT_FALSE(ExecuteCommand(U16("empty.factory"), out.stream));
  Output list;
  ListCommands(list.stream);
  EXPECT_EQ(std::string::npos, list.Text().find("no.factory help"));
  EXPECT_NE(std::string::npos, list.Text().find("empty.factory help"));
  EXPECT_EQ(nullptr, CommandRegistry::UnregisterCommand(U16("empty.factory")));
  gRefuse = false;
}

TEST_F(Registry, ACommandThatThrowsStaysUsable) {
  Register("fragile", "fragile help");
  Output out;
  EXPECT_THROW(ExecuteCommand(U16("fragile throw"), out.stream), std::runtime_error);
  EXPECT_TRUE(ExecuteCommand(U16("fragile again"), out.stream));
  EXPECT_EQ(1, std::count(gEvents.begin(), gEvents.end(),
                          std::string("make first fragile / fragile help")));
}

}  // namespace
}  // namespace console
}  // namespace vireo
