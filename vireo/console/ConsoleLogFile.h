// The console's log file: a text file in the preferences directory that receives every trace
// message with a tick-count stamp, framed by a header and a footer. Logging is on only when
// the current log file exists at start-up: a developer switches it on by creating an empty
// file named after the client ("<client> Log.txt"); each start then keeps the previous run's
// log as "<client> Log-last.txt".
#ifndef VIREO_CONSOLE_CONSOLELOGFILE_H
#define VIREO_CONSOLE_CONSOLELOGFILE_H

#include <cstdint>

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace filesupport {
class File;
class OPlatformByteStream;
}  // namespace filesupport

namespace console {

class VIREO_API ConsoleLogFile {
 public:
  // The process-wide log, made on the first call: it records the tick count, then opens the
  // default log if the current log file exists. File errors while moving the previous log
  // aside or creating the new one propagate as file exceptions (and the next call tries
  // again). Thread-safe.
  static ConsoleLogFile* GetInstance();
  // Closes the log (writing its footer) and destroys the singleton; a later GetInstance
  // starts a new one. Call when no other thread writes to the log.
  static void Terminate();
  // The base name used instead of the client name; empty restores the client name.
  static void SetDefaultLogFileName(utility::UTF16String const& name);

  // Copying hands the open log over to the copy; the source is left without one.
  ConsoleLogFile(ConsoleLogFile& other);
  ConsoleLogFile& operator=(ConsoleLogFile&) = delete;
  ~ConsoleLogFile();

  // The full path of the current log (last false) or of the previous one (last true), in the
  // preferences directory. Always true.
  bool GetLogFilePath(utility::UTF16String& path, bool last);
  // Closes an open log (footer first), creates the file at path (UTF-8; an existing file is
  // replaced) and writes the header. True; file errors propagate as file exceptions.
  bool OpenLogFile(utility::UTF8String const& path);
  // Writes the footer and closes the log, if one is open.
  void CloseLogFile();
  // Appends text as it is (no line end is added), after "Ticks = <ms since start>" and six
  // spaces when withTicks. Empty text, or no open log, writes nothing. Writers on several
  // threads are serialised, so one write is never split by another.
  void WriteToLog(utility::UTF8String const& text, bool withTicks);
  // Milliseconds of the system's tick count (32 bits, wrapping).
  unsigned long PlatformTickCount();

 private:
  ConsoleLogFile();
  void OpenDefaultLog();
  void WriteHeader();
  void WriteFooter();

  filesupport::File* mFile;
  filesupport::OPlatformByteStream* mStream;
  std::uint32_t mStartTicks;

  static ConsoleLogFile* mInstance;
};

}  // namespace console
}  // namespace vireo

#endif
