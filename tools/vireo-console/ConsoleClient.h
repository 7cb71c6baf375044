// The pieces a client of the library installs, as the console program installs them: an error
// manager that prints each raised error, a localizer with the default texts, and an output
// buffer that carries the commands' UTF-16 text to standard output.
#ifndef VIREO_TOOLS_CONSOLECLIENT_H
#define VIREO_TOOLS_CONSOLECLIENT_H

#include <exception>
#include <ostream>
#include <string>

#include "vireo/config/Errors.h"
#include "vireo/config/Localizer.h"
#include "vireo/utility/TextStreams.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace tools {

// The text of a raised error: the localised message with "^1".."^4" replaced by the values.
utility::UTF16String FormatRaisedError(char const* key, config::ReplacementValue const* values);

// The text of an exception a command let through: a message key is localised, and a file
// exception's "@0" and "@1" are filled with its file or directory and its new name.
utility::UTF16String FormatException(std::exception const& error);

// Prints every raised error to the given stream as one line, "error: <text>" (or "fatal
// error: <text>"), and returns, so that the library goes on with its fallback. Counts them.
class PrintingErrorManager : public config::ErrorManager {
 public:
  explicit PrintingErrorManager(std::ostream& out) : out_(out) {}
  void ReportError(config::ErrorLevel level, char const* key, unsigned long component, long code,
                   bool deferrable, config::ReplacementValue const& v1,
                   config::ReplacementValue const& v2, config::ReplacementValue const& v3,
                   config::ReplacementValue const& v4) const override;
  int Reported() const { return reported_; }

 private:
  std::ostream& out_;
  mutable int reported_ = 0;
};

// The English default text of every key: what follows its first "=".
class DefaultTextLocalizer : public config::Localizer {
 public:
  utility::UTF16String GetLocalizedString(char const* key) override;
};

// UTF-16 units in, UTF-8 out to a narrow stream, written on every flush. Line ends are the
// system's: CR LF becomes LF.
class NarrowOutputBuffer : public UTF16StreamBuffer {
 public:
  explicit NarrowOutputBuffer(std::ostream& out) : out_(out) {}
  ~NarrowOutputBuffer() override;

 protected:
  int_type overflow(int_type unit) override;
  int sync() override;

 private:
  std::ostream& out_;
  utility::UTF16String pending_;
};

}  // namespace tools
}  // namespace vireo

#endif
