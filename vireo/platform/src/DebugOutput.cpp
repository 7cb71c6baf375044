// Debugger output over a replaceable sink; the default is standard error.
#include "vireo/platform/DebugOutput.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace vireo {
namespace platform {
namespace {

void WriteToStandardError(void*, char const* text, std::size_t length) {
  while (length > 0) {
    ssize_t const n = ::write(STDERR_FILENO, text, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // nowhere left to report it
    }
    text += n;
    length -= static_cast<std::size_t>(n);
  }
}

struct Sink {
  DebugOutputSink function;
  void* context;
};
std::atomic<Sink*> gSink{nullptr};
Sink gSinks[2];
std::atomic<int> gNextSlot{0};

}  // namespace

void SetDebugOutputSink(DebugOutputSink sink, void* context) {
  if (!sink) {
    gSink.store(nullptr, std::memory_order_release);
    return;
  }
  // Two alternating slots, so a writer that still reads the previous sink sees it whole.
  Sink& slot = gSinks[gNextSlot.fetch_xor(1, std::memory_order_relaxed)];
  slot.function = sink;
  slot.context = context;
  gSink.store(&slot, std::memory_order_release);
}

void OutputDebugText(char const* text, std::size_t length) {
  if (!text) return;
  Sink const* sink = gSink.load(std::memory_order_acquire);
  if (sink)
    sink->function(sink->context, text, length);
  else
    WriteToStandardError(nullptr, text, length);
}

void OutputDebugText(char const* text) {
  if (text) OutputDebugText(text, std::strlen(text));
}

}  // namespace platform
}  // namespace vireo
