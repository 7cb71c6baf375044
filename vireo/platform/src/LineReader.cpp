// Line input over file descriptor 0: plain reads for pipes and files, and a small line editor
// over termios raw mode for terminals. Output goes to file descriptor 1.
#include "vireo/platform/LineReader.h"

#include <errno.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>

namespace vireo {
namespace platform {
namespace {

bool ReadByte(unsigned char& byte) {
  for (;;) {
    ssize_t const n = read(STDIN_FILENO, &byte, 1);
    if (n == 1) return true;
    if (n < 0 && errno == EINTR) continue;
    return false;
  }
}

void WriteAll(std::string const& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t const n = write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

// The terminal's width in columns; 80 when it cannot be asked.
std::size_t TerminalColumns() {
  winsize size;
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return 80;
  return size.ws_col;
}

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Screen columns of UTF-8 text: one per character (wide characters are not measured).
std::size_t Columns(char const* text, std::size_t length) {
  std::size_t columns = 0;
  for (std::size_t i = 0; i < length; ++i)
    if (!IsContinuation(text[i])) ++columns;
  return columns;
}

// The terminal in raw mode for the scope: bytes arrive one by one, unechoed, and Ctrl-C and
// Ctrl-D are plain keys. Restored however the scope ends.
class RawMode {
 public:
  RawMode() : active_(tcgetattr(STDIN_FILENO, &saved_) == 0) {
    if (!active_) return;
    termios raw = saved_;
    raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
    raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    raw.c_cflag |= CS8;
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN | ISIG);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    active_ = tcsetattr(STDIN_FILENO, TCSADRAIN, &raw) == 0;
  }
  ~RawMode() {
    if (active_) tcsetattr(STDIN_FILENO, TCSADRAIN, &saved_);
  }
  RawMode(RawMode const&) = delete;
  RawMode& operator=(RawMode const&) = delete;
  bool Active() const { return active_; }

 private:
  termios saved_;
  bool active_;
};

enum Key {
  kKeyNone,
  kKeyLeft,
  kKeyRight,
  kKeyUp,
  kKeyDown,
  kKeyHome,
  kKeyEnd,
  kKeyDelete
};

// The rest of an escape sequence (after ESC): CSI and SS3 cursor keys, and "ESC [ n ~".
Key ReadEscape() {
  unsigned char first;
  if (!ReadByte(first) || (first != '[' && first != 'O')) return kKeyNone;
  unsigned char byte;
  if (!ReadByte(byte)) return kKeyNone;
  if (byte >= '0' && byte <= '9') {
    int number = byte - '0';
    while (ReadByte(byte) && byte >= '0' && byte <= '9') number = number * 10 + (byte - '0');
    if (byte != '~') return kKeyNone;
    switch (number) {
      case 1: case 7: return kKeyHome;
      case 4: case 8: return kKeyEnd;
      case 3: return kKeyDelete;
      default: return kKeyNone;
    }
  }
  switch (byte) {
    case 'A': return kKeyUp;
    case 'B': return kKeyDown;
    case 'C': return kKeyRight;
    case 'D': return kKeyLeft;
    case 'H': return kKeyHome;
    case 'F': return kKeyEnd;
    default: return kKeyNone;
  }
}

// The line being edited and its cursor (a byte index at a character boundary).
class EditBuffer {
 public:
  explicit EditBuffer(char const* prompt) : prompt_(prompt ? prompt : "") {}

  std::string const& Text() const { return text_; }
  bool Empty() const { return text_.empty(); }

  void Set(std::string const& text) {
    text_ = text;
    cursor_ = text_.size();
  }
  void Insert(char byte) { text_.insert(cursor_++, 1, byte); }
  void Left() { cursor_ = Previous(cursor_); }
  void Right() { cursor_ = Next(cursor_); }
  void Home() { cursor_ = 0; }
  void End() { cursor_ = text_.size(); }
  void EraseBefore() {
    std::size_t const from = Previous(cursor_);
    text_.erase(from, cursor_ - from);
    cursor_ = from;
  }
  void EraseAt() { text_.erase(cursor_, Next(cursor_) - cursor_); }
  void CutToEnd() { text_.erase(cursor_); }
  void CutToStart() {
    text_.erase(0, cursor_);
    cursor_ = 0;
  }
  void CutWordBefore() {
    std::size_t from = cursor_;
    while (from > 0 && text_[from - 1] == ' ') --from;
    while (from > 0 && text_[from - 1] != ' ') --from;
    text_.erase(from, cursor_ - from);
    cursor_ = from;
  }

  // Redraws the prompt and the line in place and puts the cursor where it belongs. A line
  // wider than the terminal scrolls sideways, so that it never wraps and the cursor stays
  // in view.
  void Refresh() const {
    std::size_t const promptColumns = Columns(prompt_.data(), prompt_.size());
    std::size_t const width = TerminalColumns();
    // Columns left for the text, one kept free for the cursor at the end.
    std::size_t const room = width > promptColumns + 1 ? width - promptColumns - 1 : 1;
    std::size_t const cursorColumn = Columns(text_.data(), cursor_);
    std::size_t first = 0;  // the first character shown
    if (cursorColumn > room) first = cursorColumn - room;
    std::size_t begin = 0;
    for (std::size_t skipped = 0; skipped < first; ++skipped) begin = Next(begin);
    std::size_t end = begin;
    for (std::size_t shown = 0; shown < room && end < text_.size(); ++shown) end = Next(end);

    std::string out = "\r";
    out += prompt_;
    out.append(text_, begin, end - begin);
    out += "\x1b[K\r";
    std::size_t const column = promptColumns + cursorColumn - first;
    if (column > 0) out += "\x1b[" + std::to_string(column) + "C";
    WriteAll(out);
  }

 private:
  std::size_t Previous(std::size_t at) const {
    if (at == 0) return 0;
    --at;
    while (at > 0 && IsContinuation(text_[at])) --at;
    return at;
  }
  std::size_t Next(std::size_t at) const {
    if (at >= text_.size()) return text_.size();
    ++at;
    while (at < text_.size() && IsContinuation(text_[at])) ++at;
    return at;
  }

  std::string prompt_;
  std::string text_;
  std::size_t cursor_ = 0;
};

}  // namespace

LineReader::LineReader()
    : interactive_(isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1), atEnd_(false) {}

LineReader::~LineReader() = default;

bool LineReader::ReadLine(char const* prompt, std::string& line) {
  if (!interactive_) return ReadPlainLine(line);
  return EditLine(prompt, line);
}

bool LineReader::ReadPlainLine(std::string& line) {
  for (;;) {
    std::size_t const end = pending_.find('\n');
    if (end != std::string::npos || (atEnd_ && !pending_.empty())) {
      line.assign(pending_, 0, end);
      pending_.erase(0, end == std::string::npos ? end : end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    if (atEnd_) return false;
    char block[4096];
    ssize_t const n = read(STDIN_FILENO, block, sizeof block);
    if (n > 0) {
      pending_.append(block, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      atEnd_ = true;
    }
  }
}

bool LineReader::EditLine(char const* prompt, std::string& line) {
  if (atEnd_) return false;
  RawMode raw;
  if (!raw.Active()) {
    // A terminal that refuses raw mode still gets its prompt.
    WriteAll(prompt ? prompt : "");
    return ReadPlainLine(line);
  }

  EditBuffer buffer(prompt);
  std::size_t recalled = history_.size();  // history_.size(): the line being written
  std::string draft;
  buffer.Refresh();
  for (;;) {
    unsigned char byte;
    if (!ReadByte(byte)) {
      atEnd_ = true;
      WriteAll("\r\n");
      if (buffer.Empty()) return false;
      line = buffer.Text();
      return true;
    }
    Key key = kKeyNone;
    switch (byte) {
      case '\r':
      case '\n':
        WriteAll("\r\n");
        line = buffer.Text();
        if (!line.empty() && (history_.empty() || history_.back() != line))
          history_.push_back(line);
        return true;
      case 0x03:  // Ctrl-C: drop the line, start again
        WriteAll("^C\r\n");
        buffer.Set(std::string());
        recalled = history_.size();
        break;
      case 0x04:  // Ctrl-D
        if (buffer.Empty()) {
          WriteAll("\r\n");
          return false;
        }
        buffer.EraseAt();
        break;
      case 0x7F:
      case 0x08:
        buffer.EraseBefore();
        break;
      case 0x01: key = kKeyHome; break;
      case 0x05: key = kKeyEnd; break;
      case 0x02: key = kKeyLeft; break;
      case 0x06: key = kKeyRight; break;
      case 0x10: key = kKeyUp; break;
      case 0x0E: key = kKeyDown; break;
      case 0x0B: buffer.CutToEnd(); break;
      case 0x15: buffer.CutToStart(); break;
      case 0x17: buffer.CutWordBefore(); break;
      case 0x0C: WriteAll("\x1b[H\x1b[2J"); break;
      case 0x1B: key = ReadEscape(); break;
      default:
        // Other control characters (Tab among them) are ignored; text is inserted.
        if (byte >= 0x20) buffer.Insert(static_cast<char>(byte));
        break;
    }
    switch (key) {
      case kKeyLeft: buffer.Left(); break;
      case kKeyRight: buffer.Right(); break;
      case kKeyHome: buffer.Home(); break;
      case kKeyEnd: buffer.End(); break;
      case kKeyDelete: buffer.EraseAt(); break;
      case kKeyUp:
        if (recalled > 0) {
          if (recalled == history_.size()) draft = buffer.Text();
          buffer.Set(history_[--recalled]);
        }
        break;
      case kKeyDown:
        if (recalled < history_.size()) {
          ++recalled;
          buffer.Set(recalled == history_.size() ? draft : history_[recalled]);
        }
        break;
      case kKeyNone:
        break;
    }
    buffer.Refresh();
  }
}

}  // namespace platform
}  // namespace vireo
