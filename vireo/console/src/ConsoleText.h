// Text helpers shared by the interpreter and the built-in commands.
#ifndef VIREO_CONSOLE_SRC_CONSOLETEXT_H
#define VIREO_CONSOLE_SRC_CONSOLETEXT_H

#include "vireo/utility/TextStreams.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace console {
namespace impl {

inline bool IsBlank(unsigned short unit) { return unit == 0x20 || unit == 0x09; }

// The text without its leading and trailing spaces and tabs.
inline utility::UTF16String TrimBlanks(utility::UTF16String const& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// Every console line ends with CR LF and is flushed at once, so that output and traces
// written in between keep their order.
inline void EndLine(UTF16OutputStream& out) {
  out << u"\r\n";
  out.flush();
}

inline void WriteLine(UTF16OutputStream& out, utility::UTF16String const& text) {
  out << text;
  EndLine(out);
}

inline void WriteLine(UTF16OutputStream& out, char16_t const* text) {
  out << text;
  EndLine(out);
}

}  // namespace impl
}  // namespace console
}  // namespace vireo

#endif
