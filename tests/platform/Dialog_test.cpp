// The dialog presenter slot, the terminal presenter without a terminal, and the clipboard.
// The terminal presenter's questions and answers are in TerminalDialog_test.cpp.
#include "vireo/platform/Dialog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/platform/FdRedirect.h"

namespace vireo {
namespace platform {
namespace {

class FixedPresenter : public DialogPresenter {
 public:
  DialogAnswer Present(DialogRequest const&) override { return {7, true}; }
};

DialogRequest TwoButtonRequest() {
  DialogRequest request;
  request.title = "Title";
  request.texts = {"text"};
  request.buttons = {DialogButton{1, "Yes", 10, true, nullptr},
                     DialogButton{2, "No", 20, false, nullptr}};
  return request;
}

TEST(DialogPresenterSlot, DefaultIsTheTerminalPresenterAndNullRestoresIt) {
  DialogPresenter& initial = GetDialogPresenter();
  EXPECT_NE(nullptr, dynamic_cast<TerminalDialogPresenter*>(&initial));

  FixedPresenter fixed;
  SetDialogPresenter(&fixed);
  EXPECT_EQ(&fixed, &GetDialogPresenter());
  DialogAnswer const answer = GetDialogPresenter().Present(TwoButtonRequest());
  EXPECT_EQ(7, answer.result);

  SetDialogPresenter(nullptr);
  EXPECT_EQ(&initial, &GetDialogPresenter());
}

TEST(TerminalDialogPresenter, WithoutTerminalNoDialogCanBeShown) {
  testing::NullInput noTerminal;
  testing::StderrCapture output;
  DialogAnswer const answer = TerminalDialogPresenter().Present(TwoButtonRequest());
  EXPECT_EQ(kDialogCannotShow, answer.result);
  EXPECT_FALSE(answer.ctrlHeld);
  EXPECT_EQ("", output.Text());  // nothing asked where nobody can answer
}

TEST(TerminalDialogPresenter, PipedInputIsNotTakenForAnAnswer) {
  int fds[2];
  ASSERT_EQ(0, ::pipe(fds));
  ASSERT_EQ(2, ::write(fds[1], "1\n", 2));
  ::close(fds[1]);
  {
    testing::FdRedirect input(STDIN_FILENO, fds[0]);
    EXPECT_EQ(kDialogCannotShow, TerminalDialogPresenter().Present(TwoButtonRequest()).result);
  }
  char left[4];
  EXPECT_EQ(2, ::read(fds[0], left, sizeof left));  // the input was not read
  ::close(fds[0]);
}

TEST(Clipboard, TextIsFramedOnStandardError) {
  testing::StderrCapture output;
  SetClipboardText("Expression: p != 0\r\nLine: 12");
  std::string const text = output.Text();
  std::size_t const start = text.find("Expression: p != 0\r\nLine: 12");
  ASSERT_NE(std::string::npos, start) << text;
  std::size_t const open = text.find("copied text");
  std::size_t const close = text.rfind("end of copied text");
  EXPECT_LT(open, start);
  EXPECT_NE(std::string::npos, close);
  EXPECT_GT(close, start);
}

}  // namespace
}  // namespace platform
}  // namespace vireo
