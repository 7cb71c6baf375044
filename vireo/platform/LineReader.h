// Reading command lines from standard input. On a terminal the reader shows a prompt and lets
// the user edit the line (a small line editor over termios, with a history of the session's
// lines); otherwise it reads plain lines, as from a pipe or a file.
#ifndef VIREO_PLATFORM_LINEREADER_H
#define VIREO_PLATFORM_LINEREADER_H

#include <string>
#include <vector>

#include "vireo/Export.h"

namespace vireo {
namespace platform {

// Editing keys on a terminal: Left/Right and Ctrl-B/Ctrl-F move by character, Home/End and
// Ctrl-A/Ctrl-E to the ends, Backspace and Delete erase, Ctrl-K and Ctrl-U cut to the end or
// the start, Ctrl-W the word before the cursor, Up/Down and Ctrl-P/Ctrl-N walk the history,
// Ctrl-L clears the screen, Ctrl-C drops the line, Ctrl-D on an empty line ends the input.
// Text is UTF-8; the cursor moves over whole characters.
//
// One reader serves one thread; the terminal is put in raw mode only while a line is read,
// and restored before ReadLine returns.
class VIREO_API LineReader {
 public:
  LineReader();
  LineReader(LineReader const&) = delete;
  LineReader& operator=(LineReader const&) = delete;
  ~LineReader();

  // True when standard input and standard output are both terminals: lines are edited and
  // prompted for.
  bool Interactive() const { return interactive_; }

  // Reads the next line into `line`, without its line end (a CR before the LF is dropped too).
  // Interactive: writes `prompt` first and adds a non-empty line to the history. Returns false
  // at the end of the input (a last line without a line end is still returned first) or when
  // standard input cannot be read.
  bool ReadLine(char const* prompt, std::string& line);

  // The lines entered so far on the terminal, oldest first.
  std::vector<std::string> const& History() const { return history_; }

 private:
  bool ReadPlainLine(std::string& line);
  bool EditLine(char const* prompt, std::string& line);

  bool interactive_;
  bool atEnd_;
  std::string pending_;  // bytes read past the last line returned (plain mode)
  std::vector<std::string> history_;
};

}  // namespace platform
}  // namespace vireo

#endif
