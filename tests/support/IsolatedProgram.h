// Points HOME, XDG_CONFIG_HOME and TMPDIR of the whole test program into a fresh temporary
// directory, before its first test and until its last. Register once per program:
//   ::testing::Environment* const kIsolated =
//       ::testing::AddGlobalTestEnvironment(new vireo::testing::IsolatedProgram);
#ifndef VIREO_TESTS_SUPPORT_ISOLATEDPROGRAM_H
#define VIREO_TESTS_SUPPORT_ISOLATEDPROGRAM_H

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/TestEnvironment.h"

namespace vireo {
namespace testing {

class IsolatedProgram : public ::testing::Environment {
 public:
  void SetUp() override { environment_.reset(new IsolatedEnvironment); }
  void TearDown() override { environment_.reset(); }

 private:
  std::unique_ptr<IsolatedEnvironment> environment_;
};

}  // namespace testing
}  // namespace vireo

#endif
