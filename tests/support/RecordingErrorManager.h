// Error managers for tests: one records every report, one records and then throws.
#ifndef VIREO_TESTS_SUPPORT_RECORDINGERRORMANAGER_H
#define VIREO_TESTS_SUPPORT_RECORDINGERRORMANAGER_H

#include <stdexcept>
#include <string>
#include <vector>

#include "vireo/config/Errors.h"

namespace vireo {
namespace testing {

struct RecordedError {
  config::ErrorLevel level;
  std::string key;
  unsigned long component;
  long code;
  bool deferrable;
  config::ReplacementValue values[4];
  bool deferredWhenReported;  // IsErrorReportingDeferred() at the time of the report
};

class RecordingErrorManager : public config::ErrorManager {
 public:
  void ReportError(config::ErrorLevel level, char const* key, unsigned long component, long code,
                   bool deferrable, config::ReplacementValue const& v1,
                   config::ReplacementValue const& v2, config::ReplacementValue const& v3,
                   config::ReplacementValue const& v4) const override;

  // Mutable: ReportError is const in the interface but a test manager must remember.
  mutable std::vector<RecordedError> errors;
};

// The exception ThrowingErrorManager throws; carries the reported key.
class RaisedError : public std::runtime_error {
 public:
  RaisedError(std::string const& key, unsigned long component, long code)
      : std::runtime_error(key), component(component), code(code) {}
  unsigned long component;
  long code;
};

class ThrowingErrorManager : public RecordingErrorManager {
 public:
  void ReportError(config::ErrorLevel level, char const* key, unsigned long component, long code,
                   bool deferrable, config::ReplacementValue const& v1,
                   config::ReplacementValue const& v2, config::ReplacementValue const& v3,
                   config::ReplacementValue const& v4) const override;
};

// Installs a manager for the scope and restores the previous one (or none) afterwards.
class ScopedErrorManager {
 public:
  explicit ScopedErrorManager(config::ErrorManager* manager);
  ~ScopedErrorManager();

 private:
  config::ErrorManager* previous_;
};

}  // namespace testing
}  // namespace vireo

#endif
