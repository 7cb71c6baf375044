// The trace system: named categories with an enabled flag and a volume ceiling, one master
// setting that caps them all, settings kept in "Trace Database.txt" in the preferences
// directory, and one process-wide handler that receives the finished messages.
//
// Callers filter first and compose afterwards:
//   if (TraceEnabled(category, 3, false)) Trace(line);
// A message passes when the master and its category are both enabled and its volume is at
// most the master volume and at most the category volume.
#ifndef VIREO_DEBUG_TRACE_H
#define VIREO_DEBUG_TRACE_H

#include <list>

#include "vireo/Export.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace debug {

// The setting of one category, or of the master.
struct TraceSetting {
  bool enabled;
  long volume;
};

// Receives each finished message. Clients may install their own; the library never deletes
// one. Write is called from any thread, possibly from several at once.
class VIREO_API TraceHandler {
 public:
  virtual void Write(utility::UTF8String const& message) = 0;
  virtual ~TraceHandler();
};

// Passes the NUL-terminated message to the master handler. No filtering, no lock. Null sends
// nothing.
VIREO_API void Trace(char const* message);

// Sends the NUL-terminated UTF-8 text straight to the debugger output, bypassing any trace
// handler and filter. Null sends nothing. Never throws.
VIREO_API void DebugTrace(char const* message);

// The master handler: installed by the caller, who keeps ownership. Without one, the default
// handler (debugger output and the console log) serves. Install or remove while no other
// thread traces.
VIREO_API void InstallMasterTraceHandler(TraceHandler* handler);
VIREO_API TraceHandler* GetMasterTraceHandler();
VIREO_API void RemoveMasterTraceHandler();

// The filter. A category seen for the first time is created enabled with volume 5 and the
// settings file rewritten. While any thread is inside this function, another query (from
// another thread, or nested from the saving of the settings) answers false rather than
// waiting. The third argument takes no part in the decision.
VIREO_API bool TraceEnabled(utility::UTF8String const& category, long volume, bool);

// The category's volume; an unknown category is first created with the defaults.
VIREO_API long GetTraceVolume(utility::UTF8String const& category);
// Sets the volume, keeping the enabled flag (a new category is created enabled), and rewrites
// the settings file.
VIREO_API void SetTraceVolume(utility::UTF8String const& category, long volume);
// The master volume (10 unless the settings say otherwise).
VIREO_API long GetMasterTraceVolume();
// Sets the master volume, keeping the master's enabled flag, and rewrites the settings file.
VIREO_API void SetMasterTraceVolume(long volume);
// Replaces the content of names with every name held in the settings, "Master" included, in
// byte order.
VIREO_API void GetTraceCategories(std::list<utility::UTF8String>& names);

// Writes the settings file once more and frees the settings and their lock. A later use
// reads the file again.
VIREO_API void ShutdownTraceManager();

// Builds a message for the debugger output without heap memory, so that code which must not
// allocate (the memory allocators) can report. Text is kept as UTF-16 in a fixed buffer and
// sent in pieces of at most 511 units: whenever the buffer is full, and on destruction.
class VIREO_API SafeTraceStream {
 public:
  SafeTraceStream();
  SafeTraceStream(SafeTraceStream const&) = delete;
  SafeTraceStream& operator=(SafeTraceStream const&) = delete;
  ~SafeTraceStream();

  // Appends one unit, sending the buffer first when it already holds 511.
  void Append(unsigned short unit);

 private:
  void Flush();

  static constexpr unsigned int kCapacity = 512;
  unsigned short buffer_[kCapacity];
  unsigned int count_;
};

// Each byte becomes one unit (bytes above 0x7F as Latin-1). Null appends nothing.
VIREO_API SafeTraceStream& operator<<(SafeTraceStream& stream, char const* text);
// NUL-terminated UTF-16. Null appends nothing.
VIREO_API SafeTraceStream& operator<<(SafeTraceStream& stream, unsigned short const* text);
// Numbers in decimal.
VIREO_API SafeTraceStream& operator<<(SafeTraceStream& stream, int value);
VIREO_API SafeTraceStream& operator<<(SafeTraceStream& stream, long value);
VIREO_API SafeTraceStream& operator<<(SafeTraceStream& stream, unsigned int value);
VIREO_API SafeTraceStream& operator<<(SafeTraceStream& stream, unsigned long value);
VIREO_API SafeTraceStream& operator<<(SafeTraceStream& stream, long long value);
VIREO_API SafeTraceStream& operator<<(SafeTraceStream& stream, unsigned long long value);

}  // namespace debug
}  // namespace vireo

#endif
