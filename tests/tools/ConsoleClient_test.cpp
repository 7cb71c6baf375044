// The console program's client pieces: raised-error text, default texts, and the output buffer
// that turns the commands' UTF-16 lines into the system's UTF-8 lines.
#include "tools/vireo-console/ConsoleClient.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "vireo/filesupport/FileExceptions.h"

namespace vireo {
namespace tools {
namespace {

using config::ReplacementValue;

std::string Narrow(utility::UTF16String const& text) {
  utility::UTF8String const bytes = utility::UTF16to8(text);
  return std::string(bytes.begin(), bytes.end());
}

TEST(ConsoleClient, RaisedErrorsShowTheirValues) {
  struct Case {
    char const* key;
    ReplacementValue values[4];
    char const* text;
  } const cases[] = {
      {"$$$/wren/config/Error/test/nonfataltest=This is a non-fatal exception. int:^1, uint:^2, "
       "double:^3",
       {ReplacementValue(-2147483648LL), ReplacementValue(4294967295ULL),
        ReplacementValue(29.2334), ReplacementValue()},
       "This is a non-fatal exception. int:-2147483648, uint:4294967295, double:29.2334"},
      {"$$$/a=^4 before ^1, ^1 twice",
       {ReplacementValue(utility::AsciiToUTF16("one")), ReplacementValue(), ReplacementValue(),
        ReplacementValue(4)},
       "4 before one, one twice"},
      {"$$$/a=^0 and ^5 stay, ^2 is empty, a lone ^", {}, "^0 and ^5 stay,  is empty, a lone ^"},
      {"$$$/a=a=b", {}, "a=b"},
      {"no default text", {}, ""},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(c.text, Narrow(FormatRaisedError(c.key, c.values)));
  }
}

TEST(ConsoleClient, ExceptionsShowTheirFileOrDirectory) {
  using namespace filesupport;
  File const file(utility::AsciiToUTF16("/media/clip.avi"));
  Dir const dir(utility::AsciiToUTF16("/media"));
  struct Case {
    std::exception const& error;
    char const* text;
  } const cases[] = {
      {file_not_found_exception(file), "The file '\\media\\clip.avi' could not be found."},
      {create_accessdenied_exception(file),
       "Could not create the file '\\media\\clip.avi'. Access was denied."},
      {rename_file(file, utility::AsciiToUTF16("take2.avi")),
       "Could not rename the file '\\media\\clip.avi' to 'take2.avi'."},
      {dir_not_found_exception(dir), "The directory '\\media' could not be found."},
      {rename_dir_already_exists(dir, utility::AsciiToUTF16("old")),
       "Could not rename the directory '\\media' to 'old'. The directory already exists."},
      {std::runtime_error("$$$/any/key=Mail @@ and @0."), "Mail @ and ."},
      {std::runtime_error("plain text"), "plain text"},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.text, Narrow(FormatException(c.error)));
  }
}

TEST(ConsoleClient, PrintsOneLinePerRaisedError) {
  std::ostringstream out;
  PrintingErrorManager manager(out);
  ReplacementValue const none;
  manager.ReportError(config::kErrorLevelNonFatal, "$$$/x=Value ^1.", 100, 20, false,
                      ReplacementValue(7), none, none, none);
  manager.ReportError(config::kErrorLevelFatal, "$$$/y=Broken.", 105, 25, false, none, none,
                      none, none);
  EXPECT_EQ("error: Value 7.\nfatal error: Broken.\n", out.str());
  EXPECT_EQ(2, manager.Reported());
}

TEST(ConsoleClient, LocalizerGivesTheDefaultText) {
  DefaultTextLocalizer localizer;
  EXPECT_EQ("Cannot read.", Narrow(localizer.GetLocalizedString("$$$/k/Error=Cannot read.")));
  EXPECT_EQ("b=c", Narrow(localizer.GetLocalizedString("$$$/a=b=c")));
  EXPECT_EQ("", Narrow(localizer.GetLocalizedString("$$$/no/text")));
}

TEST(ConsoleClient, OutputBufferWritesUtf8LinesOnFlush) {
  std::ostringstream out;
  {
    NarrowOutputBuffer buffer(out);
    UTF16OutputStream stream(&buffer);
    stream << u"caf\u00e9 \u20ac\r\n";
    EXPECT_EQ("", out.str());  // nothing before the flush
    stream.flush();
    EXPECT_EQ("caf\xc3\xa9 \xe2\x82\xac\n", out.str());
    // A line end cut by a flush between its CR and its LF is still one line end.
    stream << u"a\r";
    stream.flush();
    stream << u"\nb\rc\r\n\r\n";
    stream.flush();
    EXPECT_EQ("caf\xc3\xa9 \xe2\x82\xac\na\nb\rc\n\n", out.str());
    stream << u"end\r";
  }
  EXPECT_EQ("caf\xc3\xa9 \xe2\x82\xac\na\nb\rc\n\nend\r", out.str());
}

}  // namespace
}  // namespace tools
}  // namespace vireo
