// Error manager, deferred reporters and replacement values.
#include "vireo/config/Errors.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

namespace vireo {
namespace config {
namespace {
std::atomic<ErrorManager*> gManager{nullptr};
}  // namespace

// ---- ReplacementValue ---------------------------------------------------------

ReplacementValue::ReplacementValue()
    : kind(kNone), unsignedValue(0), signedValue(0), doubleValue(0.0) {}
ReplacementValue::ReplacementValue(int inValue)
    : kind(kSigned), unsignedValue(0), signedValue(inValue), doubleValue(0.0) {}
ReplacementValue::ReplacementValue(long inValue)
    : kind(kSigned), unsignedValue(0), signedValue(inValue), doubleValue(0.0) {}
ReplacementValue::ReplacementValue(long long inValue)
    : kind(kSigned), unsignedValue(0), signedValue(inValue), doubleValue(0.0) {}
ReplacementValue::ReplacementValue(unsigned int inValue)
    : kind(kUnsigned), unsignedValue(inValue), signedValue(0), doubleValue(0.0) {}
ReplacementValue::ReplacementValue(unsigned long inValue)
    : kind(kUnsigned), unsignedValue(inValue), signedValue(0), doubleValue(0.0) {}
ReplacementValue::ReplacementValue(unsigned long long inValue)
    : kind(kUnsigned), unsignedValue(inValue), signedValue(0), doubleValue(0.0) {}
ReplacementValue::ReplacementValue(double inValue)
    : kind(kDouble), unsignedValue(0), signedValue(0), doubleValue(inValue) {}
ReplacementValue::ReplacementValue(utility::UTF16String const& inValue)
    : kind(kString), unsignedValue(0), signedValue(0), doubleValue(0.0), stringValue(inValue) {}
ReplacementValue::ReplacementValue(ReplacementValue const& inOther) = default;
ReplacementValue& ReplacementValue::operator=(ReplacementValue const& inOther) = default;
ReplacementValue::~ReplacementValue() = default;

void ReplacementValue::Init() {
  unsignedValue = 0;
  signedValue = 0;
  doubleValue = 0.0;
}

// ---- ErrorManager ---------------------------------------------------------------

ErrorManager::ErrorManager() = default;

ErrorManager::~ErrorManager() { reporters_.clear(); }

bool ErrorManager::PurgeMemory(unsigned int) { return false; }
void ErrorManager::IncrementLazilyDisplayErrors() {}
void ErrorManager::DecrementLazilyDisplayErrors() {}

long ErrorManager::ExecuteFunctionWithTopLevelExceptionHandler(boost::function0<long> f) {
  try {
    return f();  // an empty function throws boost::bad_function_call
  } catch (...) {
    return 1;
  }
}

boost::intrusive_ptr<DeferredErrorReporter> ErrorManager::NewDeferredErrorReporter(
    bool inReportErrorWhenFinished) {
  return boost::intrusive_ptr<DeferredErrorReporter>(
      new DeferredErrorReporter(inReportErrorWhenFinished));
}

void ErrorManager::Set(ErrorManager* m) { gManager.store(m, std::memory_order_release); }

ErrorManager* ErrorManager::Get() {
  ErrorManager* m = gManager.load(std::memory_order_acquire);
  if (!m)
    throw std::logic_error("wren::config::ErrorManager not initialized. Check wren/config/Errors.");
  return m;
}

bool ErrorManager::IsErrorReportingDeferred() const { return !reporters_.empty(); }

void ErrorManager::ThrowErrorDispatch(ErrorLevel inLevel, char const* inKey,
                                      unsigned long inComponentID, long inErrorCode,
                                      bool inDeferrable, ReplacementValue const& inValue1,
                                      ReplacementValue const& inValue2,
                                      ReplacementValue const& inValue3,
                                      ReplacementValue const& inValue4) const {
  if (!reporters_.empty() && inDeferrable)
    reporters_.front()->SetLastError(inLevel, inKey, inComponentID, inErrorCode, inValue1,
                                     inValue2, inValue3, inValue4);
  ReportError(inLevel, inKey, inComponentID, inErrorCode, inDeferrable, inValue1, inValue2,
              inValue3, inValue4);
}

void ErrorManager::AddDeferredErrorReporter(DeferredErrorReporter* r) {
  if (r) reporters_.push_back(r);
}

void ErrorManager::RemoveDeferredErrorReporter(DeferredErrorReporter* r) {
  auto const it = std::find(reporters_.begin(), reporters_.end(), r);
  if (it != reporters_.end()) reporters_.erase(it);
}

// ---- DeferredErrorReporter ------------------------------------------------------

DeferredErrorReporter::DeferredErrorReporter(bool inReportErrorWhenFinished)
    : reportWhenFinished_(inReportErrorWhenFinished),
      level_(static_cast<ErrorLevel>(-1)),
      componentID_(0),
      errorCode_(0),
      errorCount_(0) {
  ErrorManager::Get()->AddDeferredErrorReporter(this);
}

DeferredErrorReporter::DeferredErrorReporter(DeferredErrorReporter const& inOther)
    : utility::RefCountedObject(),
      reportWhenFinished_(inOther.reportWhenFinished_),
      level_(inOther.level_),
      key_(inOther.key_),
      componentID_(inOther.componentID_),
      errorCode_(inOther.errorCode_),
      values_{inOther.values_[0], inOther.values_[1], inOther.values_[2], inOther.values_[3]},
      errorCount_(inOther.errorCount_) {}

DeferredErrorReporter::~DeferredErrorReporter() {
  // A destructor must not throw: a manager uninstalled or a ReportError that throws while
  // this scope unwinds would end the process. The report is then lost, the rest still runs.
  try {
    ErrorManager* const manager = ErrorManager::Get();
    try {
      if (reportWhenFinished_ && errorCount_ >= 1)
        manager->ReportError(level_, key_.c_str(), componentID_, errorCode_, true, values_[0],
                             values_[1], values_[2], values_[3]);
    } catch (...) {
      manager->RemoveDeferredErrorReporter(this);
      throw;
    }
    manager->RemoveDeferredErrorReporter(this);
  } catch (...) {
  }
}

void DeferredErrorReporter::SetReportErrorWhenFinished(bool inReport) {
  reportWhenFinished_ = inReport;
}

bool DeferredErrorReporter::GetReportErrorWhenFinished() const { return reportWhenFinished_; }

void DeferredErrorReporter::SetLastError(ErrorLevel inLevel, char const* inKey,
                                         unsigned long inComponentID, long inErrorCode,
                                         ReplacementValue const& inValue1,
                                         ReplacementValue const& inValue2,
                                         ReplacementValue const& inValue3,
                                         ReplacementValue const& inValue4) {
  ++errorCount_;
  level_ = inLevel;
  key_ = inKey ? inKey : "";
  componentID_ = inComponentID;
  errorCode_ = inErrorCode;
  values_[0] = inValue1;
  values_[1] = inValue2;
  values_[2] = inValue3;
  values_[3] = inValue4;
}

// ---- free functions -------------------------------------------------------------

void ThrowError(ErrorLevel inLevel, char const* inKey, unsigned long inComponentID,
                long inErrorCode, bool inDeferrable, ReplacementValue const& inValue1,
                ReplacementValue const& inValue2, ReplacementValue const& inValue3,
                ReplacementValue const& inValue4) {
  ErrorManager::Get()->ThrowErrorDispatch(inLevel, inKey, inComponentID, inErrorCode, inDeferrable,
                                          inValue1, inValue2, inValue3, inValue4);
}

void TestThrowError(bool inFatal) {
  if (inFatal) {
    ThrowError(kErrorLevelFatal, "$$$/wren/config/Error/test/fataltest=This is a fatal exception.",
               100, 21, true, ReplacementValue(), ReplacementValue(), ReplacementValue(),
               ReplacementValue());
  } else {
    ThrowError(kErrorLevelNonFatal,
               "$$$/wren/config/Error/test/nonfataltest=This is a non-fatal exception. "
               "int:^1, uint:^2, double:^3",
               100, 20, true, ReplacementValue(-2147483648LL), ReplacementValue(4294967295ULL),
               ReplacementValue(29.2334), ReplacementValue());
  }
}

}  // namespace config
}  // namespace vireo
