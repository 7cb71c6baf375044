// Raised errors. Library code reports every operational failure through ThrowError, which
// hands it to the ErrorManager the client installed; the client's ReportError decides whether
// to throw, show, log or ignore it. When ReportError returns, the raising code goes on with
// its fallback; when it throws, the exception passes through the library to the caller.
#ifndef VIREO_CONFIG_ERRORS_H
#define VIREO_CONFIG_ERRORS_H

#include <list>
#include <string>

#include <boost/function.hpp>
#include <boost/intrusive_ptr.hpp>

#include "vireo/Export.h"
#include "vireo/utility/RefCountedObject.h"
#include "vireo/utility/UTF16String.h"

namespace vireo {
namespace config {

// A fixed int underneath, so that a reporter's "no error yet" level of -1 is a valid value.
enum ErrorLevel : int {
  kErrorLevelFatal = 0,    // input contract violations and the fatal self-test
  kErrorLevelNonFatal = 1  // every other raised error
};

enum ReplacementValueKind {
  kNone = 0,
  kSigned = 1,
  kUnsigned = 2,
  kDouble = 3,
  kString = 4
};

// One typed value for a "^n" placeholder of a raised error's message. A plain value type:
// only the field that matches the kind is set, the others are zero or empty.
class VIREO_API ReplacementValue {
 public:
  ReplacementValue();
  ReplacementValue(int inValue);
  ReplacementValue(long inValue);
  ReplacementValue(long long inValue);
  ReplacementValue(unsigned int inValue);
  ReplacementValue(unsigned long inValue);
  ReplacementValue(unsigned long long inValue);
  ReplacementValue(double inValue);
  ReplacementValue(utility::UTF16String const& inValue);
  ReplacementValue(ReplacementValue const& inOther);
  ReplacementValue& operator=(ReplacementValue const& inOther);
  ~ReplacementValue();

  // Zeroes the three number fields; the kind and the string stay.
  void Init();

  ReplacementValueKind kind;
  unsigned long long unsignedValue;
  long long signedValue;
  double doubleValue;
  utility::UTF16String stringValue;
};

class DeferredErrorReporter;

// The client's error manager. Derive, implement ReportError, install one instance with Set.
// The library never deletes the installed manager.
class VIREO_API ErrorManager {
 public:
  ErrorManager();
  ErrorManager(ErrorManager const&) = delete;
  ErrorManager& operator=(ErrorManager const&) = delete;
  // Empties the reporter list; the reporters themselves are not touched.
  virtual ~ErrorManager();

  // The base purges nothing and answers false; the library never calls it.
  virtual bool PurgeMemory(unsigned int inBytes);
  // Hooks for a client that postpones error display in nested regions; the base does nothing.
  virtual void IncrementLazilyDisplayErrors();
  virtual void DecrementLazilyDisplayErrors();
  // Calls f and returns its result; 1 when f throws anything or is empty.
  virtual long ExecuteFunctionWithTopLevelExceptionHandler(boost::function0<long> f);
  // A new registered reporter held by an intrusive pointer (reference count 1).
  virtual boost::intrusive_ptr<DeferredErrorReporter> NewDeferredErrorReporter(
      bool inReportErrorWhenFinished);
  // Receives every raised error and the final report of each deferred reporter.
  virtual void ReportError(ErrorLevel inLevel, char const* inKey, unsigned long inComponentID,
                           long inErrorCode, bool inDeferrable, ReplacementValue const& inValue1,
                           ReplacementValue const& inValue2, ReplacementValue const& inValue3,
                           ReplacementValue const& inValue4) const = 0;

  // Installs m (null uninstalls; nothing is deleted). Call before other threads raise errors.
  static void Set(ErrorManager* m);
  // The installed manager; throws std::logic_error when none is installed.
  static ErrorManager* Get();

  // True while at least one deferred reporter is registered.
  bool IsErrorReportingDeferred() const;

  // The outermost registered reporter records a deferrable error; then ReportError is called
  // with the arguments unchanged.
  void ThrowErrorDispatch(ErrorLevel inLevel, char const* inKey, unsigned long inComponentID,
                          long inErrorCode, bool inDeferrable, ReplacementValue const& inValue1,
                          ReplacementValue const& inValue2, ReplacementValue const& inValue3,
                          ReplacementValue const& inValue4) const;

 protected:
  void AddDeferredErrorReporter(DeferredErrorReporter* r);
  void RemoveDeferredErrorReporter(DeferredErrorReporter* r);

 private:
  friend class DeferredErrorReporter;
  // Registration order; not locked: reporters are scope objects of one working thread.
  std::list<DeferredErrorReporter*> reporters_;
};

// Collects the last error raised while it is registered (the outermost reporter of nested
// ones records) and, if asked to, reports it once when destroyed.
class VIREO_API DeferredErrorReporter : public utility::RefCountedObject {
 public:
  // Registers with ErrorManager::Get() (so throws std::logic_error without a manager).
  explicit DeferredErrorReporter(bool inReportErrorWhenFinished = true);
  // Copies every field but is not registered and starts a fresh reference count.
  DeferredErrorReporter(DeferredErrorReporter const& inOther);
  DeferredErrorReporter& operator=(DeferredErrorReporter const&) = delete;
  // Reports the recorded error when asked to and one was recorded, then unregisters. Never
  // throws (it may run while another exception unwinds, or inside an intrusive pointer's
  // release): a ReportError that throws here has still received the report, and without an
  // installed manager there is nobody to report to.
  ~DeferredErrorReporter() override;

  void SetReportErrorWhenFinished(bool inReport);
  bool GetReportErrorWhenFinished() const;

  // The record, for clients and tests that inspect it.
  ErrorLevel GetLevel() const { return level_; }
  std::string const& GetKey() const { return key_; }
  unsigned long GetComponentID() const { return componentID_; }
  long GetErrorCode() const { return errorCode_; }
  ReplacementValue const& GetValue(int inIndex) const { return values_[inIndex & 3]; }
  int GetErrorCount() const { return errorCount_; }

 private:
  friend class ErrorManager;
  void SetLastError(ErrorLevel inLevel, char const* inKey, unsigned long inComponentID,
                    long inErrorCode, ReplacementValue const& inValue1,
                    ReplacementValue const& inValue2, ReplacementValue const& inValue3,
                    ReplacementValue const& inValue4);

  bool reportWhenFinished_;
  ErrorLevel level_;
  std::string key_;
  unsigned long componentID_;
  long errorCode_;
  ReplacementValue values_[4];
  int errorCount_;
};

// The one way library code raises an error: ErrorManager::Get()->ThrowErrorDispatch(...).
VIREO_API void ThrowError(ErrorLevel inLevel, char const* inKey, unsigned long inComponentID,
                          long inErrorCode, bool inDeferrable, ReplacementValue const& inValue1,
                          ReplacementValue const& inValue2, ReplacementValue const& inValue3,
                          ReplacementValue const& inValue4);

// Raises the library's test errors so that a client can check its ReportError:
// fatal: "$$$/wren/config/Error/test/fataltest=..." (level 0, component 100, code 21);
// non-fatal: "$$$/wren/config/Error/test/nonfataltest=..." (level 1, 100, 20) with the values
// -2147483648, 4294967295 and 29.2334.
VIREO_API void TestThrowError(bool inFatal);

}  // namespace config
}  // namespace vireo

#endif
