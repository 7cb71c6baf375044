// A settings store in memory for the diagnostics' tests: files are byte strings by name, and
// every write is recorded.
#ifndef VIREO_TESTS_DEBUG_MEMORYSETTINGSSTORE_H
#define VIREO_TESTS_DEBUG_MEMORYSETTINGSSTORE_H

#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "vireo/debug/src/SettingsFiles.h"

namespace vireo {
namespace testing {

inline std::string ToStd(utility::UTF8String const& s) { return std::string(s.begin(), s.end()); }
inline utility::UTF8String ToU8(std::string const& s) {
  return utility::UTF8String(s.begin(), s.end());
}

class MemorySettingsStore : public debug::impl::SettingsStore {
 public:
  bool Read(char const* name, utility::UTF8String& bytes) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++reads[name];
    if (failReads) throw std::runtime_error("read failed");
    auto const it = files.find(name);
    if (it == files.end()) return false;
    bytes = ToU8(it->second);
    return true;
  }
  void Write(char const* name, utility::UTF8String const& text) override {
    if (onWrite) onWrite();
    std::lock_guard<std::mutex> lock(mutex_);
    if (failWrites) throw std::runtime_error("write failed");
    files[name] = ToStd(text);
    writes.push_back(name);
  }
  std::string File(std::string const& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    return files.count(name) ? files[name] : std::string("<missing>");
  }

  std::map<std::string, std::string> files;
  std::map<std::string, int> reads;
  std::vector<std::string> writes;
  bool failReads = false;
  bool failWrites = false;
  std::function<void()> onWrite;  // called outside the store's lock

 private:
  std::mutex mutex_;
};

// Installs a store for the scope.
class ScopedSettingsStore {
 public:
  explicit ScopedSettingsStore(debug::impl::SettingsStore* store) {
    debug::impl::SetSettingsStore(store);
  }
  ~ScopedSettingsStore() { debug::impl::SetSettingsStore(nullptr); }
};

}  // namespace testing
}  // namespace vireo

#endif
