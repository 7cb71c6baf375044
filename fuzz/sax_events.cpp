// The platform's SAX reader on any bytes.
//
// Laws, for any input:
//   1. the events nest: every end names the element that is open, and a successful parse
//      closes every element it opened, once, with one root;
//   2. the document starts first; it ends (once, last) exactly when the parse succeeds;
//   3. every name is non-empty and holds no namespace separator or colon, every text is
//      non-empty and no text exceeds the run limit;
//   4. a sink that stops at its n-th event receives exactly n events.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "vireo/platform/Sax.h"

namespace {

#define CHECK(condition)                                                                \
  do {                                                                                  \
    if (!(condition)) {                                                                 \
      std::fprintf(stderr, "sax_events: law broken: %s (line %d)\n", #condition, __LINE__); \
      std::abort();                                                                     \
    }                                                                                   \
  } while (0)

constexpr std::size_t kLimit = 1000;

bool GoodName(char const* name, std::size_t length) {
  return length > 0 && !std::memchr(name, ':', length) && !std::memchr(name, '\x01', length);
}

class Checker : public vireo::platform::SaxContentSink {
 public:
  explicit Checker(long stopAt) : stopAt_(stopAt) {}
  bool StartDocument() override {
    CHECK(events == 0);
    return Count();
  }
  bool EndDocument() override {
    CHECK(open.empty() && roots == 1 && !ended);
    ended = true;
    return Count();
  }
  bool StartElement(char const* name, std::size_t length, vireo::platform::SaxAttribute const* a,
                    std::size_t count) override {
    CHECK(events > 0 && !ended && GoodName(name, length));
    for (std::size_t i = 0; i < count; ++i) CHECK(GoodName(a[i].name, a[i].nameLength));
    if (open.empty()) ++roots;
    open.emplace_back(name, length);
    return Count();
  }
  bool EndElement(char const* name, std::size_t length) override {
    CHECK(!open.empty() && open.back() == std::string(name, length));
    open.pop_back();
    return Count();
  }
  bool Characters(char const*, std::size_t length) override {
    CHECK(!open.empty() && length > 0 && length <= kLimit);
    return Count();
  }

  long events = 0;
  std::vector<std::string> open;
  int roots = 0;
  bool ended = false;

 private:
  bool Count() { return ++events != stopAt_; }
  long stopAt_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  vireo::platform::SaxLimits limits;
  limits.maxTextRun = kLimit;
  Checker whole(-1);
  vireo::platform::SaxResult const result = vireo::platform::SaxParseBuffer(data, size, whole, limits);
  CHECK(whole.events >= 1);
  CHECK(whole.ended == (result.status == vireo::platform::kSaxOk));
  CHECK(result.status != vireo::platform::kSaxStopped && result.status != vireo::platform::kSaxCannotRead);

  if (whole.events > 1) {
    long const stopAt = 1 + static_cast<long>(size % static_cast<std::size_t>(whole.events));
    Checker stopped(stopAt);
    vireo::platform::SaxResult const r = vireo::platform::SaxParseBuffer(data, size, stopped, limits);
    CHECK(stopped.events == stopAt);
    CHECK(r.status == vireo::platform::kSaxStopped);
  }
  return 0;
}
