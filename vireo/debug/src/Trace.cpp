// The trace manager (settings, filter, master cache), the master handler and the
// allocation-free trace stream.
#include "vireo/debug/Trace.h"

#include <atomic>
#include <exception>
#include <memory>
#include <string>

#include "vireo/console/ConsoleLogFile.h"
#include "vireo/debug/src/SettingsFiles.h"
#include "vireo/debug/src/TraceInternal.h"
#include "vireo/platform/DebugOutput.h"
#include "vireo/platform/Process.h"
#include "vireo/proplist/PropList.h"
#include "vireo/threads/RecursiveMutex.h"

namespace vireo {
namespace debug {
namespace {

typedef utility::UTF8String UTF8String;
typedef threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex> Lock;

constexpr TraceSetting kCategoryDefault{true, 5};
constexpr TraceSetting kMasterDefault{true, 10};

UTF8String const& EnabledKey() {
  static UTF8String const key(reinterpret_cast<unsigned char const*>("Enabled"));
  return key;
}
UTF8String const& VolumeKey() {
  static UTF8String const key(reinterpret_cast<unsigned char const*>("Volume"));
  return key;
}
UTF8String const& MasterKey() {
  static UTF8String const key(reinterpret_cast<unsigned char const*>("Master"));
  return key;
}

// Created on first use, destroyed by ShutdownTraceManager; a use after that makes a new one.
std::atomic<threads::RecursiveMutex*> gLock{nullptr};
// Everything below is read and changed only under gLock.
proplist::PropList* gDatabase = nullptr;
TraceSetting gMaster = kMasterDefault;
bool gMasterLoading = false;
// Survives ShutdownTraceManager: the master keeps the values it had.
bool gMasterLoaded = false;

// Set while any thread evaluates TraceEnabled; a query that finds it set answers false.
std::atomic<bool> gQueryGuard{false};

std::atomic<TraceHandler*> gHandler{nullptr};

threads::RecursiveMutex& TraceLock() {
  threads::RecursiveMutex* lock = gLock.load(std::memory_order_acquire);
  if (lock) return *lock;
  std::unique_ptr<threads::RecursiveMutex> fresh(
      new threads::RecursiveMutex("vireo/debug/tracemutex"));
  if (gLock.compare_exchange_strong(lock, fresh.get(), std::memory_order_acq_rel))
    return *fresh.release();
  return *lock;  // another thread made it first
}

void SaveDatabase(proplist::PropList const& database) {
  impl::GetSettingsStore().Write(impl::kTraceDatabaseFileName,
                                 impl::FormatTraceDatabase(database));
}

// The settings, read from the file on first use. Lock held.
proplist::PropList& Database() {
  if (!gDatabase) {
    std::unique_ptr<proplist::PropList> database(new proplist::PropList);
    UTF8String bytes;
    if (impl::GetSettingsStore().Read(impl::kTraceDatabaseFileName, bytes))
      impl::ParseTraceDatabase(bytes, *database);
    gDatabase = database.release();
  }
  return *gDatabase;
}

// Lock held. Properties missing from an entry leave the given values in place.
bool ReadSetting(UTF8String const& name, TraceSetting& setting) {
  proplist::PropList const* entry = Database().GetSubList(name);
  if (!entry) return false;
  entry->GetValue(EnabledKey(), setting.enabled);
  entry->GetValue(VolumeKey(), setting.volume);
  return true;
}

// Lock held. Replaces the entry whole and rewrites the file.
void StoreSetting(UTF8String const& name, TraceSetting const& setting) {
  proplist::PropList& database = Database();
  database.RemoveValue(name);
  proplist::PropList* entry = database.NewSubList(name);
  entry->SetValue(EnabledKey(), setting.enabled);
  entry->SetValue(VolumeKey(), setting.volume);
  SaveDatabase(database);
}

// Lock held.
TraceSetting GetOrCreateSettingLocked(UTF8String const& name) {
  TraceSetting setting = kCategoryDefault;
  if (!ReadSetting(name, setting)) StoreSetting(name, setting);
  return setting;
}

TraceSetting GetOrCreateSetting(UTF8String const& name) {
  Lock lock(TraceLock(), true);
  return GetOrCreateSettingLocked(name);
}

// The master setting, loaded on first need. Lock held. A query that arises while it is being
// loaded (from the saving of the file) sees a disabled master.
TraceSetting MasterSettingLocked() {
  if (gMasterLoaded) return gMaster;
  if (gMasterLoading) return TraceSetting{false, gMaster.volume};
  struct Loading {
    Loading() { gMasterLoading = true; }
    ~Loading() { gMasterLoading = false; }
  } loading;
  TraceSetting master = kMasterDefault;
  if (!ReadSetting(MasterKey(), master)) StoreSetting(MasterKey(), master);
  gMaster = master;
  gMasterLoaded = true;
  return master;
}

TraceSetting MasterSetting() {
  Lock lock(TraceLock(), true);
  return MasterSettingLocked();
}

class DefaultTraceHandler : public TraceHandler {
 public:
  void Write(UTF8String const& message) override {
    platform::OutputDebugText(reinterpret_cast<char const*>(message.data()), message.size());
    // A log that cannot be opened or written must not break the code that traces.
    try {
      console::ConsoleLogFile::GetInstance()->WriteToLog(message, true);
    } catch (...) {
    }
  }
};

DefaultTraceHandler& TheDefaultHandler() {
  static DefaultTraceHandler handler;
  return handler;
}

// Up to 511 units of UTF-16 as UTF-8: at most 3 bytes a unit (a pair makes 4 from 2).
constexpr std::size_t kPieceBytes = 511 * 3;

std::size_t EncodeUTF8(unsigned short const* units, unsigned int count, char* out) {
  std::size_t n = 0;
  for (unsigned int i = 0; i < count; ++i) {
    unsigned long c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone half of a pair
    }
    if (c < 0x80) {
      out[n++] = static_cast<char>(c);
    } else if (c < 0x800) {
      out[n++] = static_cast<char>(0xC0 | (c >> 6));
      out[n++] = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out[n++] = static_cast<char>(0xE0 | (c >> 12));
      out[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out[n++] = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out[n++] = static_cast<char>(0xF0 | (c >> 18));
      out[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out[n++] = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return n;
}

// Decimal digits of a magnitude into the end of `buffer`; returns where they start.
char* FormatDecimal(unsigned long long magnitude, bool negative, char* end) {
  char* p = end;
  *--p = '\0';
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) *--p = '-';
  return p;
}

SafeTraceStream& AppendSigned(SafeTraceStream& stream, long long value) {
  char buffer[24];
  unsigned long long const magnitude =
      value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                : static_cast<unsigned long long>(value);
  return stream << FormatDecimal(magnitude, value < 0, buffer + sizeof buffer);
}

SafeTraceStream& AppendUnsigned(SafeTraceStream& stream, unsigned long long value) {
  char buffer[24];
  return stream << FormatDecimal(value, false, buffer + sizeof buffer);
}

}  // namespace

TraceHandler::~TraceHandler() = default;

void Trace(char const* message) {
  if (!message) return;
  GetMasterTraceHandler()->Write(UTF8String(reinterpret_cast<unsigned char const*>(message)));
}

void DebugTrace(char const* message) { platform::OutputDebugText(message); }

void InstallMasterTraceHandler(TraceHandler* handler) {
  gHandler.store(handler, std::memory_order_release);
}

TraceHandler* GetMasterTraceHandler() {
  TraceHandler* handler = gHandler.load(std::memory_order_acquire);
  if (handler) return handler;
  TraceHandler* const fallback = &TheDefaultHandler();
  if (gHandler.compare_exchange_strong(handler, fallback, std::memory_order_acq_rel))
    return fallback;
  return handler;
}

void RemoveMasterTraceHandler() { gHandler.store(nullptr, std::memory_order_release); }

bool TraceEnabled(UTF8String const& category, long volume, bool) {
  if (gQueryGuard.exchange(true, std::memory_order_acquire)) return false;
  struct Release {
    ~Release() { gQueryGuard.store(false, std::memory_order_release); }
  } release;
  Lock lock(TraceLock(), true);
  TraceSetting const master = MasterSettingLocked();
  if (!master.enabled || volume > master.volume) return false;
  TraceSetting const setting = GetOrCreateSettingLocked(category);
  return setting.enabled && volume <= setting.volume;
}

long GetTraceVolume(UTF8String const& category) { return GetOrCreateSetting(category).volume; }

void SetTraceVolume(UTF8String const& category, long volume) {
  Lock lock(TraceLock(), true);
  TraceSetting setting = kCategoryDefault;
  ReadSetting(category, setting);
  setting.volume = volume;
  StoreSetting(category, setting);
}

long GetMasterTraceVolume() { return MasterSetting().volume; }

void SetMasterTraceVolume(long volume) {
  Lock lock(TraceLock(), true);
  TraceSetting master = MasterSettingLocked();
  master.volume = volume;
  // The cache takes the value even if the file cannot be written.
  gMaster.volume = volume;
  StoreSetting(MasterKey(), master);
}

void GetTraceCategories(std::list<UTF8String>& names) {
  Lock lock(TraceLock(), true);
  names.clear();
  Database().GetPropertyNames(names);
}

void ShutdownTraceManager() {
  threads::RecursiveMutex* const mutex = gLock.load(std::memory_order_acquire);
  if (!mutex) return;
  std::exception_ptr failure;
  {
    Lock lock(*mutex, true);
    std::unique_ptr<proplist::PropList> database(gDatabase);
    gDatabase = nullptr;
    if (database) {
      try {
        SaveDatabase(*database);
      } catch (...) {
        failure = std::current_exception();  // reported once everything is freed
      }
    }
  }
  delete gLock.exchange(nullptr, std::memory_order_acq_rel);
  if (failure) std::rethrow_exception(failure);
}

SafeTraceStream::SafeTraceStream() : count_(0) {}

SafeTraceStream::~SafeTraceStream() {
  if (count_ > 0) Flush();
}

void SafeTraceStream::Append(unsigned short unit) {
  if (count_ == kCapacity - 1) Flush();
  buffer_[count_++] = unit;
}

void SafeTraceStream::Flush() {
  buffer_[count_] = 0;
  char bytes[kPieceBytes];
  platform::OutputDebugText(bytes, EncodeUTF8(buffer_, count_, bytes));
  count_ = 0;
}

SafeTraceStream& operator<<(SafeTraceStream& stream, char const* text) {
  if (text)
    for (; *text; ++text) stream.Append(static_cast<unsigned char>(*text));
  return stream;
}

SafeTraceStream& operator<<(SafeTraceStream& stream, unsigned short const* text) {
  if (text)
    for (; *text; ++text) stream.Append(*text);
  return stream;
}

SafeTraceStream& operator<<(SafeTraceStream& stream, int value) { return AppendSigned(stream, value); }
SafeTraceStream& operator<<(SafeTraceStream& stream, long value) { return AppendSigned(stream, value); }
SafeTraceStream& operator<<(SafeTraceStream& stream, long long value) {
  return AppendSigned(stream, value);
}
SafeTraceStream& operator<<(SafeTraceStream& stream, unsigned int value) {
  return AppendUnsigned(stream, value);
}
SafeTraceStream& operator<<(SafeTraceStream& stream, unsigned long value) {
  return AppendUnsigned(stream, value);
}
SafeTraceStream& operator<<(SafeTraceStream& stream, unsigned long long value) {
  return AppendUnsigned(stream, value);
}

namespace impl {

UTF8String TraceLine(char const* category, long volume, char const* text) {
  std::string line = "<" + std::to_string(platform::CurrentThreadId()) + "> <" +
                     (category ? category : "") + "> <" + std::to_string(volume) + "> " +
                     (text ? text : "");
  // Reports bring their own line ends.
  if (line.back() != '\n') line += '\n';
  return UTF8String(reinterpret_cast<unsigned char const*>(line.data()), line.size());
}

void ResetTraceManagerForTesting() {
  {
    Lock lock(TraceLock(), true);
    delete gDatabase;
    gDatabase = nullptr;
    gMaster = kMasterDefault;
    gMasterLoaded = false;
  }
  delete gLock.exchange(nullptr, std::memory_order_acq_rel);
}

}  // namespace impl
}  // namespace debug
}  // namespace vireo
