// The debug database and its file.
#include "vireo/debug/DebugDatabase.h"

#include <atomic>
#include <memory>

#include "vireo/debug/src/SettingsFiles.h"
#include "vireo/threads/RecursiveMutex.h"

namespace vireo {
namespace debug {
namespace {

std::atomic<DebugDatabase*> gInstance{nullptr};

}  // namespace

DebugDatabase::DebugDatabase() = default;
DebugDatabase::~DebugDatabase() = default;

DebugDatabase& DebugDatabase::Instance() {
  DebugDatabase* instance = gInstance.load(std::memory_order_acquire);
  if (instance) return *instance;
  static threads::RecursiveMutex creation("vireo/debug/debugdatabasemutex");
  threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex> lock(
      "vireo/debug/DebugDatabase/Instance/lock", creation, true);
  instance = gInstance.load(std::memory_order_acquire);
  if (instance) return *instance;
  std::unique_ptr<DebugDatabase> fresh(new DebugDatabase);
  utility::UTF8String bytes;
  if (impl::GetSettingsStore().Read(impl::kDebugDatabaseFileName, bytes))
    impl::ParseDebugDatabase(bytes, *fresh);
  // Lives until the process ends, as the variables' users may run until then.
  gInstance.store(fresh.get(), std::memory_order_release);
  return *fresh.release();
}

utility::UTF8String DebugDatabase::GetEntry(utility::UTF8String const& name,
                                            utility::UTF8String const& defaultValue) {
  utility::UTF8String value;
  if (GetValue(name, value)) return value;
  SetValue(name, defaultValue);
  return defaultValue;
}

void DebugDatabase::SetEntry(utility::UTF8String const& name, utility::UTF8String const& value) {
  SetValue(name, value);
  Save();
}

bool DebugDatabase::HasEntry(utility::UTF8String const& name) const {
  utility::UTF8String value;
  return GetValue(name, value);
}

void DebugDatabase::GetDebugKeys(std::list<utility::UTF8String>& names) {
  names.clear();
  GetPropertyNames(names);
}

void DebugDatabase::Clear() { PropList::Clear(); }

void DebugDatabase::Save() {
  impl::GetSettingsStore().Write(impl::kDebugDatabaseFileName, impl::FormatDebugDatabase(*this));
}

}  // namespace debug
}  // namespace vireo
