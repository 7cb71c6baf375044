// A client of the installed library: includes only the umbrella header and uses the
// basic services as an application would. Exits 0 when every check holds.
#include "vireo/vireo.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

int gFailures = 0;

void Check(bool ok, char const* what) {
  if (!ok) {
    std::fprintf(stderr, "vireo_consumer: FAILED: %s\n", what);
    ++gFailures;
  }
}

using vireo::utility::UTF16String;
using vireo::utility::UTF8String;

void CheckTextRoundTrip() {
  // "a", e acute, the euro sign and U+1F600: one, two, three and four UTF-8 bytes.
  static unsigned char const kUtf8[] = {'a',  0xC3, 0xA9, 0xE2, 0x82, 0xAC,
                                        0xF0, 0x9F, 0x98, 0x80};
  UTF8String const utf8(kUtf8, kUtf8 + sizeof kUtf8);
  UTF16String const utf16 = vireo::utility::UTF8to16(utf8);
  static unsigned short const kExpected[] = {0x0061, 0x00E9, 0x20AC, 0xD83D, 0xDE00};
  Check(utf16 == UTF16String(kExpected, kExpected + 5), "UTF8to16 gives the expected units");
  Check(vireo::utility::UTF16to8(utf16) == utf8, "UTF16to8 restores the UTF-8 bytes");
}

void CheckSmallBlocks() {
  using vireo::utility::SmallBlockAllocator;
  for (unsigned int size : {1u, 24u, 1000u, 8192u, 20000u}) {
    void* p = SmallBlockAllocator::Allocate(size);
    Check(p != nullptr, "Allocate returns a block");
    if (!p) continue;
    Check(SmallBlockAllocator::GetActualAllocationSize(size) >= size,
          "the usable size covers the request");
    std::memset(p, 0x5A, size);
    SmallBlockAllocator::Dispose(p, size);
  }
}

// Records what the library reports, as a client's error manager would before showing it.
class RecordingErrorManager : public vireo::config::ErrorManager {
 public:
  void ReportError(vireo::config::ErrorLevel inLevel, char const* inKey,
                   unsigned long inComponentID, long inErrorCode, bool /*inDeferrable*/,
                   vireo::config::ReplacementValue const& inValue1,
                   vireo::config::ReplacementValue const& inValue2,
                   vireo::config::ReplacementValue const& inValue3,
                   vireo::config::ReplacementValue const&) const override {
    ++calls;
    level = inLevel;
    key = inKey ? inKey : "";
    component = inComponentID;
    code = inErrorCode;
    first = inValue1;
    second = inValue2;
    third = inValue3;
  }

  mutable int calls = 0;
  mutable vireo::config::ErrorLevel level = vireo::config::kErrorLevelFatal;
  mutable std::string key;
  mutable unsigned long component = 0;
  mutable long code = 0;
  mutable vireo::config::ReplacementValue first, second, third;
};

void CheckErrorReporting() {
  RecordingErrorManager manager;
  vireo::config::ErrorManager::Set(&manager);
  vireo::config::TestThrowError(false);
  vireo::config::ErrorManager::Set(nullptr);

  Check(manager.calls == 1, "the installed manager receives the raised error once");
  Check(manager.level == vireo::config::kErrorLevelNonFatal, "the test error is non-fatal");
  Check(manager.key.rfind("$$$/wren/config/Error/test/nonfataltest=", 0) == 0,
        "the report carries the message key literal");
  Check(manager.component == 100 && manager.code == 20, "component 100, code 20");
  Check(manager.first.kind == vireo::config::kSigned &&
            manager.first.signedValue == -2147483648LL,
        "first value is the signed -2147483648");
  Check(manager.second.kind == vireo::config::kUnsigned &&
            manager.second.unsignedValue == 4294967295ULL,
        "second value is the unsigned 4294967295");
  Check(manager.third.kind == vireo::config::kDouble && manager.third.doubleValue > 29.2 &&
            manager.third.doubleValue < 29.3,
        "third value is the double 29.2334");
}

void CheckLocking() {
  using Lock = vireo::threads::ScopedLock<vireo::threads::RecursiveMutex, boost::recursive_mutex>;
  vireo::threads::RecursiveMutex mutex("consumer mutex");
  std::atomic<bool> entered{false};
  {
    Lock outer("outer", mutex, true);
    {
      Lock inner(mutex, true);  // the holder may lock again
      Check(inner.IsLocked(), "a recursive lock by the holder succeeds");
    }
    vireo::threads::Thread other("consumer thread", [&] {
      Lock lock(mutex, true);
      entered = true;
    });
    vireo::threads::Thread::YieldTime();
    // Whatever the scheduling, the other thread cannot be inside while this one holds the lock.
    Check(!entered, "another thread waits while the lock is held");
    outer.Unlock();
    Check(!outer.IsLocked(), "Unlock releases the lock");
    other.Join();
  }
  Check(entered, "the other thread got the lock once it was released");
}

}  // namespace

int main() {
  try {
    CheckTextRoundTrip();
    CheckSmallBlocks();
    CheckErrorReporting();
    CheckLocking();
  } catch (std::exception const& e) {
    std::fprintf(stderr, "vireo_consumer: FAILED: unexpected exception: %s\n", e.what());
    return 1;
  }
  if (gFailures != 0) {
    std::fprintf(stderr, "vireo_consumer: %d check(s) failed\n", gFailures);
    return 1;
  }
  std::printf("vireo_consumer: all checks passed (vireo %s)\n",
              reinterpret_cast<char const*>(
                  vireo::utility::UTF16to8(vireo::config::GetVersionString()).c_str()));
  return 0;
}
