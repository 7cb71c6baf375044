#include "tests/support/RecordingErrorManager.h"

namespace vireo {
namespace testing {

void RecordingErrorManager::ReportError(config::ErrorLevel level, char const* key,
                                        unsigned long component, long code, bool deferrable,
                                        config::ReplacementValue const& v1,
                                        config::ReplacementValue const& v2,
                                        config::ReplacementValue const& v3,
                                        config::ReplacementValue const& v4) const {
  errors.push_back(RecordedError{level, key ? key : "", component, code, deferrable,
                                 {v1, v2, v3, v4}, IsErrorReportingDeferred()});
}

void ThrowingErrorManager::ReportError(config::ErrorLevel level, char const* key,
                                       unsigned long component, long code, bool deferrable,
                                       config::ReplacementValue const& v1,
                                       config::ReplacementValue const& v2,
                                       config::ReplacementValue const& v3,
                                       config::ReplacementValue const& v4) const {
  RecordingErrorManager::ReportError(level, key, component, code, deferrable, v1, v2, v3, v4);
  throw RaisedError(key ? key : "", component, code);
}

namespace {
config::ErrorManager* CurrentManagerOrNull() {
  try {
    return config::ErrorManager::Get();
  } catch (std::logic_error const&) {
    return nullptr;
  }
}
}  // namespace

ScopedErrorManager::ScopedErrorManager(config::ErrorManager* manager)
    : previous_(CurrentManagerOrNull()) {
  config::ErrorManager::Set(manager);
}

ScopedErrorManager::~ScopedErrorManager() { config::ErrorManager::Set(previous_); }

}  // namespace testing
}  // namespace vireo
